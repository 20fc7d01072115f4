// Frequency transformation of the low-pass prototype into the analog
// sections of a low-pass, high-pass, band-pass or band-reject filter.
//
// Substitutions: p = s / w1 (low-pass), p = w1 / s (high-pass),
// p = (s^2 + w0^2) / (B s) (band-pass), p = B s / (s^2 + w0^2) (band-reject),
// with w1, w2 the prewarped corners in rad/s, B = w2 - w1, w0 = sqrt(w1 w2).
//
// Single precision throughout; the steps marked (double) are evaluated in
// double precision on widened single-precision operands, the parts named in
// the comment formed in single precision first, and rounded once.

#include <cmath>

#include "core/filter_type.h"
#include "core/numeric.h"
#include "core/state.h"
#include "iir/iir_design.h"

float SH, SN0, SN1, SN2, SD0, SD1, SD2;
float TH, TN0, TN1, TN2, TD0, TD1, TD2;

namespace {

void SetS(float h, float n2, float n1, float n0, float d2, float d1, float d0) {
  SH = h;
  SN2 = n2;
  SN1 = n1;
  SN0 = n0;
  SD2 = d2;
  SD1 = d1;
  SD0 = d0;
}

// Band-pass or band-reject of order 2: each prototype pole p_k gives the
// roots of s^2 - q p_k w0 s + w0^2. With q p_k = -alpha + j beta and
// -delta + j gamma a square root of (q p_k)^2 - 4, the two pole pairs are
// s / w0 = (-(alpha +- delta) + j (beta +- gamma)) / 2: section S takes the
// upper signs, section T the lower.
void BandOrder2(bool reject, float w0, float B) {
  const float q = B / w0;
  float alpha, beta;
  if (!reject) {
    alpha = (PD1 * q) / 2.0f;
    const float pd1_sq = PD1 * PD1;
    beta = static_cast<float>(Widen(q) * std::sqrt(4.0 * Widen(PD0) - Widen(pd1_sq)) / 2.0);  // (double)
  } else {
    // Poles of the reversed prototype p^2 + (PD1 / PD0) p + 1 / PD0.
    const float r = PD1 / PD0;
    alpha = (r * q) / 2.0f;
    const float r_sq = r * r;
    beta = static_cast<float>(Widen(q) * std::sqrt((1.0 / Widen(PD0)) * 4.0 - Widen(r_sq)) / 2.0);  // (double)
  }
  const float alpha_sq = alpha * alpha;
  const float beta_sq = beta * beta;
  const float rho = static_cast<float>((4.0 - Widen(alpha_sq)) + Widen(beta_sq));  // (double) sums
  const float rho_half = rho / 2.0f;
  const float rho_sq = rho * rho;
  const float ab_sq = ((alpha * alpha) * beta) * beta;
  const float gamma =
      static_cast<float>(std::sqrt(Widen(rho_half) + std::sqrt(Widen(rho_sq) / 4.0 + Widen(ab_sq))));  // (double)
  const float delta = (alpha * beta) / gamma;

  const float w0_sq = w0 * w0;
  const float ap = alpha + delta, bp = beta + gamma;
  const float am = alpha - delta, bm = beta - gamma;
  SD2 = 1.0f;
  SD1 = ap * w0;
  SD0 = w0_sq * ((ap * ap) + (bp * bp)) / 4.0f;
  TD2 = 1.0f;
  TD1 = am * w0;
  TD0 = w0_sq * ((am * am) + (bm * bm)) / 4.0f;

  if (!reject) {
    // The numerator PD0 B^2 s^2 is shared equally between the sections.
    const float bb_pd0 = (B * B) * PD0;
    SH = TH = static_cast<float>(std::sqrt(Widen(bb_pd0)));  // (double) root
    SN2 = TN2 = 0.0f;
    SN1 = TN1 = 1.0f;
    SN0 = TN0 = 0.0f;
  } else {
    // Each section carries one factor (s^2 + w0^2).
    SH = TH = 1.0f;
    SN2 = TN2 = 1.0f;
    SN1 = TN1 = 0.0f;
    SN0 = TN0 = w0_sq;
  }
}

}  // namespace

void FreqTrans() {
  const float w1 = static_cast<float>(2.0 * Widen(Pi) * Widen(fcp1));  // (double)
  const float w2 = static_cast<float>(2.0 * Widen(Pi) * Widen(fcp2));  // (double)
  const float B = w2 - w1;
  const float w1w2 = w1 * w2;
  const float w0 = static_cast<float>(std::sqrt(Widen(w1w2)));  // (double) root

  const bool first_order = OrderN == 1;
  switch (FilType) {
    case kLowPass:
      if (first_order) {
        SetS(PD0 * w1, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, PD0 * w1);
      } else {
        SetS((PD0 * w1) * w1, 0.0f, 0.0f, 1.0f, 1.0f, PD1 * w1, (PD0 * w1) * w1);
      }
      break;
    case kHighPass:
      if (first_order) {
        SetS(1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, w1 / PD0);
      } else {
        SetS(1.0f, 1.0f, 0.0f, 0.0f, 1.0f, (PD1 * w1) / PD0, (w1 * w1) / PD0);
      }
      break;
    case kBandPass:
      if (first_order) {
        SetS(PD0 * B, 0.0f, 1.0f, 0.0f, 1.0f, PD0 * B, w0 * w0);
      } else {
        BandOrder2(false, w0, B);
      }
      break;
    case kBandReject:
      if (first_order) {
        SetS(1.0f, 1.0f, 0.0f, w0 * w0, 1.0f, B / PD0, w0 * w0);
      } else {
        BandOrder2(true, w0, B);
      }
      break;
  }
}
