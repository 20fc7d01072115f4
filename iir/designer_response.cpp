// The designer's response: its sections, and never fewer than entries 0
// and 1 (an entry the design did not fill is pass-through and adds
// nothing), so that the Butterworth chain of orders 1 and 2 is drawn as
// it always was.

#include "coeff/coefficients.h"
#include "core/state.h"
#include "iir/cascade_response.h"
#include "iir/iir_design.h"

void CalcFres(float* gain, float* phase) {
  const int made = DesignSections(FilType, OrderN);
  const BiquadSet set{p_a0, p_a1, p_a2, p_b1, p_b2, made > 2 ? made : 2};
  CascadeResponseSingle(set, Pi, gain, phase);
}
