// The designer's response: entries 0 and 1 of its coefficient set, always
// two (an entry the design did not fill is pass-through and adds nothing).

#include "core/state.h"
#include "iir/cascade_response.h"
#include "iir/iir_design.h"

void CalcFres(float* gain, float* phase) {
  const BiquadSet set{p_a0, p_a1, p_a2, p_b1, p_b2, 2};
  CascadeResponseSingle(set, Pi, gain, phase);
}
