// Bilinear transformation of the analog sections into biquad sections.
//
// s = K (1 - z^-1) / (1 + z^-1) with K = 2 p_Fsamp; the corners were
// prewarped, so no further frequency correction is made. Multiplying by
// (1 + z^-1)^2 gives, for H(s) = H (N2 s^2 + N1 s + N0) / (s^2 + D1 s + D0):
//   numerator   (N2 K^2 + N1 K + N0) + 2 (N0 - N2 K^2) z^-1 + (N2 K^2 - N1 K + N0) z^-2
//   denominator (K^2 + D1 K + D0)    + 2 (D0 - K^2) z^-1    + (K^2 - D1 K + D0) z^-2
// both divided by the denominator's constant term.
//
// Single precision throughout, except the two products marked (double),
// formed in double precision on widened operands and rounded once.

#include "core/numeric.h"
#include "iir/iir_design.h"

float p_a0[kMaxSections], p_a1[kMaxSections], p_a2[kMaxSections];
float p_b1[kMaxSections], p_b2[kMaxSections];

namespace {

// H (N1 s + N0) / (s + D0) into entry 0; its a2 and b2 stay 0 from the
// reset.
void FirstOrder(float K, float h, float n1, float n0, float d0) {
  const float g = 1.0f / (d0 + K);
  p_a0[0] = ((n1 * K + n0) * h) * g;
  p_a1[0] = ((n0 - n1 * K) * h) * g;
  p_b1[0] = (d0 - K) / (d0 + K);
}

// H (N2 s^2 + N1 s + N0) / (s^2 + D1 s + D0) into entry j.
void SecondOrder(int j, float K, float h, float n2, float n1, float n0, float d1, float d0) {
  const float m = (n2 * K) * K;
  const float KK = K * K;
  const float g = 1.0f / ((KK + d1 * K) + d0);
  p_a0[j] = (((n1 * K + m) + n0) * h) * g;
  const float n_diff = n0 - m;
  p_a1[j] = static_cast<float>(2.0 * Widen(n_diff) * Widen(h) * Widen(g));  // (double)
  p_a2[j] = (((m - n1 * K) + n0) * h) * g;
  const float d_diff = d0 - KK;
  p_b1[j] = static_cast<float>(2.0 * Widen(g) * Widen(d_diff));  // (double)
  p_b2[j] = ((KK - d1 * K) + d0) * g;
}

}  // namespace

void ResetCoefficients() {
  for (int j = 0; j < kMaxSections; ++j) {
    p_a0[j] = 1.0f;
    p_a1[j] = 0.0f;
    p_a2[j] = 0.0f;
    p_b1[j] = 0.0f;
    p_b2[j] = 0.0f;
  }
}

void SZTrans() {
  ResetCoefficients();
  const float K = p_Fsamp + p_Fsamp;
  if (!IsBand(FilType)) {
    if (OrderN == 1) {
      FirstOrder(K, SH, SN1, SN0, SD0);
    } else {
      SecondOrder(0, K, SH, SN2, SN1, SN0, SD1, SD0);
    }
  } else {
    SecondOrder(0, K, SH, SN2, SN1, SN0, SD1, SD0);
    if (OrderN == 2) SecondOrder(1, K, TH, TN2, TN1, TN0, TD1, TD0);
  }
}
