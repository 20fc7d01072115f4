#include "iir/cascade_response.h"

#include <cmath>

#include "plot/shared_state.h"

namespace {

double D(float v) { return static_cast<double>(v); }

// w_i = (i pi) / 180 + 0.001: the product i pi in single precision, the
// division and the addition in double.
double PointAngle(int i, float pi) { return D(static_cast<float>(i) * pi) / 180.0 + 0.001; }

}  // namespace

void CascadeResponseSingle(const BiquadSet& set, float pi, float* gain, float* phase) {
  for (int i = 0; i < kResponsePoints; ++i) {
    gain[i] = 0.0f;
    phase[i] = 0.0f;
    const float w = static_cast<float>(PointAngle(i, pi));
    const double c1 = std::cos(D(w)), s1 = std::sin(D(w));
    const double c2 = std::cos(2.0 * D(w)), s2 = std::sin(2.0 * D(w));
    for (int j = 0; j < set.count; ++j) {
      // Numerator and denominator at z = e^(jw), each formed in double and rounded.
      const float n_re = static_cast<float>((D(set.a0[j]) + D(set.a1[j]) * c1) + D(set.a2[j]) * c2);
      const float n_im = static_cast<float>((0.0 - D(set.a1[j]) * s1) - D(set.a2[j]) * s2);
      const float d_re = static_cast<float>((D(set.b1[j]) * c1 + 1.0) + D(set.b2[j]) * c2);
      const float d_im = static_cast<float>((0.0 - D(set.b1[j]) * s1) - D(set.b2[j]) * s2);
      const float ratio = (n_re * n_re + n_im * n_im) / (d_re * d_re + d_im * d_im);
      const float gain_term = static_cast<float>(10.0 * std::log10(D(ratio)));
      // tan(arg N - arg D), so the section's phase is taken modulo pi.
      const float tangent = (n_im * d_re - n_re * d_im) / (n_re * d_re + n_im * d_im);
      const float phase_term = static_cast<float>(std::atan(D(tangent)));
      gain[i] += gain_term;
      phase[i] += phase_term;
    }
  }
}

void CascadeResponseDouble(const BiquadSet& set, float pi, float* gain, float* phase) {
  for (int i = 0; i < kResponsePoints; ++i) {
    gain[i] = 0.0f;
    phase[i] = 0.0f;
    const double w = PointAngle(i, pi);
    const double c1 = std::cos(w), s1 = std::sin(w);
    const double c2 = std::cos(2.0 * w), s2 = std::sin(2.0 * w);
    for (int j = 0; j < set.count; ++j) {
      const double n_re = (D(set.a0[j]) + D(set.a1[j]) * c1) + D(set.a2[j]) * c2;
      const double n_im = (0.0 - D(set.a1[j]) * s1) - D(set.a2[j]) * s2;
      const double d_re = (D(set.b1[j]) * c1 + 1.0) + D(set.b2[j]) * c2;
      const double d_im = (0.0 - D(set.b1[j]) * s1) - D(set.b2[j]) * s2;
      const double gain_term = 10.0 * std::log10((n_re * n_re + n_im * n_im) / (d_re * d_re + d_im * d_im));
      const double phase_term = std::atan((n_im * d_re - n_re * d_im) / (n_re * d_re + n_im * d_im));
      gain[i] = static_cast<float>(D(gain[i]) + gain_term);
      phase[i] = static_cast<float>(D(phase[i]) + phase_term);
    }
  }
}
