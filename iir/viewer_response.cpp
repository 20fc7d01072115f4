// The viewer's response: the BiquadN sections loaded from a file, in
// double precision.

#include "core/state.h"
#include "iir/cascade_response.h"
#include "iir/iir_viewer.h"

void CalcFres(float* gain, float* phase) {
  const BiquadSet set{a0, a1, a2, b1, b2, BiquadN};
  CascadeResponseDouble(set, Pi, gain, phase);
}
