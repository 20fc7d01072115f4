#include "iir/cascade_response.h"

#include <cmath>

#include "plot/shared_state.h"

// Both variants work in passes over all points: first the cosines and sines
// of w and 2w, then per section its numerator and denominator values, then
// their logarithms and arctangents. Every value is formed by the same
// operations in the same order as point by point; only the order in which
// the points are visited changes, so that the library calls follow one
// another and the arithmetic between them runs as independent operations.

namespace {

double D(float v) { return static_cast<double>(v); }

// w_i = (i pi) / 180 + 0.001: the product i pi in single precision, the
// division and the addition in double.
double PointAngle(int i, float pi) { return D(static_cast<float>(i) * pi) / 180.0 + 0.001; }

// cos w, sin w, cos 2w and sin 2w at every point, each computed once and
// shared by all sections.
struct PointTrig {
  double c1[kResponsePoints], s1[kResponsePoints], c2[kResponsePoints], s2[kResponsePoints];
};

// The angle is read once, before either result is stored, so that the
// cosine and sine of it are one sincos call.
void FillTrig(const double* w, PointTrig& t) {
  for (int i = 0; i < kResponsePoints; ++i) {
    const double x = w[i];
    const double c = std::cos(x), s = std::sin(x);
    t.c1[i] = c;
    t.s1[i] = s;
  }
  for (int i = 0; i < kResponsePoints; ++i) {
    const double x = 2.0 * w[i];
    const double c = std::cos(x), s = std::sin(x);
    t.c2[i] = c;
    t.s2[i] = s;
  }
}

}  // namespace

void CascadeResponseSingle(const BiquadSet& set, float pi, float* gain, float* phase) {
  for (int i = 0; i < kResponsePoints; ++i) {
    gain[i] = 0.0f;
    phase[i] = 0.0f;
  }
  if (set.count <= 0) return;
  double w[kResponsePoints];
  for (int i = 0; i < kResponsePoints; ++i) w[i] = D(static_cast<float>(PointAngle(i, pi)));
  PointTrig t;
  FillTrig(w, t);
  for (int j = 0; j < set.count; ++j) {
    const double a0 = D(set.a0[j]), a1 = D(set.a1[j]), a2 = D(set.a2[j]);
    const double b1 = D(set.b1[j]), b2 = D(set.b2[j]);
    float ratio[kResponsePoints], tangent[kResponsePoints];
    for (int i = 0; i < kResponsePoints; ++i) {
      // Numerator and denominator at z = e^(jw), each formed in double and rounded.
      const float n_re = static_cast<float>((a0 + a1 * t.c1[i]) + a2 * t.c2[i]);
      const float n_im = static_cast<float>((0.0 - a1 * t.s1[i]) - a2 * t.s2[i]);
      const float d_re = static_cast<float>((b1 * t.c1[i] + 1.0) + b2 * t.c2[i]);
      const float d_im = static_cast<float>((0.0 - b1 * t.s1[i]) - b2 * t.s2[i]);
      ratio[i] = (n_re * n_re + n_im * n_im) / (d_re * d_re + d_im * d_im);
      // tan(arg N - arg D), so the section's phase is taken modulo pi.
      tangent[i] = (n_im * d_re - n_re * d_im) / (n_re * d_re + n_im * d_im);
    }
    for (int i = 0; i < kResponsePoints; ++i) {
      const float gain_term = static_cast<float>(10.0 * std::log10(D(ratio[i])));
      gain[i] += gain_term;
    }
    for (int i = 0; i < kResponsePoints; ++i) {
      const float phase_term = static_cast<float>(std::atan(D(tangent[i])));
      phase[i] += phase_term;
    }
  }
}

void CascadeResponseDouble(const BiquadSet& set, float pi, float* gain, float* phase) {
  for (int i = 0; i < kResponsePoints; ++i) {
    gain[i] = 0.0f;
    phase[i] = 0.0f;
  }
  if (set.count <= 0) return;
  double w[kResponsePoints];
  for (int i = 0; i < kResponsePoints; ++i) w[i] = PointAngle(i, pi);
  PointTrig t;
  FillTrig(w, t);
  for (int j = 0; j < set.count; ++j) {
    const double a0 = D(set.a0[j]), a1 = D(set.a1[j]), a2 = D(set.a2[j]);
    const double b1 = D(set.b1[j]), b2 = D(set.b2[j]);
    double ratio[kResponsePoints], tangent[kResponsePoints];
    for (int i = 0; i < kResponsePoints; ++i) {
      const double n_re = (a0 + a1 * t.c1[i]) + a2 * t.c2[i];
      const double n_im = (0.0 - a1 * t.s1[i]) - a2 * t.s2[i];
      const double d_re = (b1 * t.c1[i] + 1.0) + b2 * t.c2[i];
      const double d_im = (0.0 - b1 * t.s1[i]) - b2 * t.s2[i];
      ratio[i] = (n_re * n_re + n_im * n_im) / (d_re * d_re + d_im * d_im);
      tangent[i] = (n_im * d_re - n_re * d_im) / (n_re * d_re + n_im * d_im);
    }
    for (int i = 0; i < kResponsePoints; ++i) {
      const double gain_term = 10.0 * std::log10(ratio[i]);
      gain[i] = static_cast<float>(D(gain[i]) + gain_term);
    }
    for (int i = 0; i < kResponsePoints; ++i) {
      const double phase_term = std::atan(tangent[i]);
      phase[i] = static_cast<float>(D(phase[i]) + phase_term);
    }
  }
}
