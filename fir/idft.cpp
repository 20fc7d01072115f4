// Inverse DFT of the desired response to the taps, from its definition:
//   x[n] = (1 / N) sum over k = 0 to N - 1 of FresR[k] cos(theta) - FresI[k] sin(theta),
//   theta = 2 Pi k n / N, N = FresN,
// and the symmetric placement hh[TapN_2 - m] = hh[TapN_2 + m] = x[m] for
// m = 0 to TapN_2 (x[N - m] is not used); every other entry of hh is 0.
//
// Precision: theta = ((Pi + Pi) k) n / N in double, left to right, rounded
// to single; cos and sin in double on the rounded angle; each term in
// double from the single-precision samples; the running sum held in single
// (widened, the term added, rounded back), k upward; the division by N in
// single.
//
// Only x[0] to x[TapN_2], the outputs the taps use, are computed, each once.
// An accepted design (fir/tavrine_limits.h) has 2 TapN_2 + 1 <= FresN, so
// every one of them exists and the taps hold no part of the period twice.

#include <cmath>

#include "core/numeric.h"
#include "core/state.h"
#include "fir/fir_design.h"

namespace {

// x[n], normalised, over the first `bins` samples. The angles of all bins
// are formed first, then the terms summed: the division of each angle is
// not left standing between one sincos call and the next.
float InverseDftAt(int n, int bins) {
  const double two_pi = Widen(Pi) + Widen(Pi);
  double angle[kMaxBins];
  for (int k = 0; k < bins; ++k) {
    const float theta = static_cast<float>(((two_pi * static_cast<double>(k)) * static_cast<double>(n)) /
                                           static_cast<double>(bins));
    angle[k] = Widen(theta);
  }
  float sum = 0.0f;
  for (int k = 0; k < bins; ++k) {
    const double theta = angle[k];
    const double term = Widen(FresR[k]) * std::cos(theta) - Widen(FresI[k]) * std::sin(theta);
    sum = static_cast<float>(Widen(sum) + term);
  }
  return sum / static_cast<float>(bins);
}

}  // namespace

void DoIdft() {
  for (int i = 0; i < kMaxTaps; ++i) hh[i] = 0.0f;
  for (int m = 0; m <= TapN_2; ++m) {
    const float x = InverseDftAt(m, FresN);
    hh[TapN_2 - m] = x;
    hh[TapN_2 + m] = x;
  }
}
