// Butterworth low-pass prototype and prewarping of the corner frequencies.
//
// Every step is evaluated in double precision from single-precision inputs
// and rounded to single precision once, when stored, except where marked.

#include <cmath>

#include "core/numeric.h"
#include "core/state.h"
#include "iir/iir_design.h"

// The design parameters and the parameter block, which main fills, and
// what these two stages compute from them.
int FilType, OrderN;
float FC1, FC2;
float p_Fsamp, p_fc, p_fc2, p_AC;
float PN0, PN1, PN2, PD0, PD1, PD2;
float fcp1, fcp2;

// H(p) = k / (p + k) for order 1, k^2 / (p^2 + c p + k^2) otherwise, with
// eps = sqrt(10^(p_AC/10) - 1), k = eps^(-1/OrderN), c = 2k sin(pi / (2 OrderN)),
// so that |H(j1)|^2 = 1 / (1 + eps^2): p_AC dB down at 1 rad/s.
void BasicFilCal() {
  const float eps = static_cast<float>(std::sqrt(std::pow(10.0, Widen(p_AC) / 10.0) - 1.0));
  const float k = static_cast<float>(std::pow(Widen(eps), -1.0 / static_cast<double>(OrderN)));
  const float k2 = k * k;  // single precision
  const float c = static_cast<float>(2.0 * Widen(k) * std::sin(Widen(Pi) / (2.0 * static_cast<double>(OrderN))));
  PN2 = 0.0f;
  PN1 = 0.0f;
  if (OrderN == 1) {
    PN0 = k;
    PD2 = 0.0f;
    PD1 = 1.0f;
    PD0 = k;
  } else {
    PN0 = k2;
    PD2 = 1.0f;
    PD1 = c;
    PD0 = k2;
  }
}

namespace {

// w = 2 Fs tan(2 pi fc / (2 Fs)) in rad/s, rounded; then w / (2 pi) in Hz, rounded.
float PrewarpHz(float fc) {
  const double fs = Widen(p_Fsamp);
  const double pi = Widen(Pi);
  const float w = static_cast<float>(2.0 * fs * std::tan(2.0 * pi * Widen(fc) / (2.0 * fs)));
  return static_cast<float>(Widen(w) / (2.0 * pi));
}

}  // namespace

void PreWarp() {
  fcp1 = PrewarpHz(p_fc);
  fcp2 = PrewarpHz(p_fc2);
}
