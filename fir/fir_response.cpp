// Frequency response of the taps at the 360 plot points:
//   w_i = i Pi / 180 + 0.001, H(w) = sum over n of hh[n] e^(-j w n),
//   gain = 10 log10(re^2 + im^2) dB, phase = atan(im / re) rad.
//
// Precision: i Pi in single, then / 180 and + 0.001 in double, rounded to
// w; n w in single; cos and sin in double, each product with the tap and
// each running sum in double, rounded back to the single-precision sums;
// the power re^2 + im^2 and the quotient im / re in single; log10 and atan
// in double, rounded once. The single-argument arctangent keeps the phase
// within -pi/2 to pi/2.

#include <cmath>

#include "core/numeric.h"
#include "core/state.h"
#include "fir/taps.h"

float hh[kMaxTaps];
int TapN;

void CalcFres(float* gain, float* phase) {
  for (int i = 0; i < kResponsePoints; ++i) {
    const float w = static_cast<float>(PointAngle(i, Pi));
    float re = 0.0f;
    float im = 0.0f;
    for (int n = 0; n < TapN; ++n) {
      const float x = static_cast<float>(n) * w;
      re = static_cast<float>(Widen(re) + Widen(hh[n]) * std::cos(Widen(x)));
      im = static_cast<float>(Widen(im) - Widen(hh[n]) * std::sin(Widen(x)));
    }
    const float power = re * re + im * im;
    const float tangent = im / re;
    phase[i] = static_cast<float>(std::atan(Widen(tangent)));
    gain[i] = static_cast<float>(std::log10(Widen(power)) * 10.0);
  }
}
