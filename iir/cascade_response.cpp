#include "iir/cascade_response.h"

#include <cmath>

#include "core/numeric.h"
#include "core/state.h"

// Both variants work in passes over all points: first the cosines and sines
// of w and 2w, then per section its numerator and denominator values, then
// their logarithms and arctangents. Every value is formed by the same
// operations in the same order as point by point; only the order in which
// the points are visited changes, so that the library calls follow one
// another and the arithmetic between them runs as independent operations.

namespace {

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

// The response in the precision Real of its intermediates: float for the
// designer's variant (w, the numerator and denominator values, squares,
// ratio and quotient rounded to single precision; each term rounded to
// single before it is added, which equals a single-precision sum), double
// for the viewer's (every intermediate in double, each term added to the
// widened array value). The library calls are always in double; the
// arrays hold single-precision values.
template <typename Real>
void CascadeResponse(const BiquadSet& set, float pi, float* gain, float* phase) {
  for (int i = 0; i < kResponsePoints; ++i) {
    gain[i] = 0.0f;
    phase[i] = 0.0f;
  }
  double w[kResponsePoints];
  for (int i = 0; i < kResponsePoints; ++i) w[i] = static_cast<double>(static_cast<Real>(PointAngle(i, pi)));
  PointTrig t;
  FillTrig(w, t);
  for (int j = 0; j < set.count; ++j) {
    const double a0 = Widen(set.a0[j]), a1 = Widen(set.a1[j]), a2 = Widen(set.a2[j]);
    const double b1 = Widen(set.b1[j]), b2 = Widen(set.b2[j]);
    Real ratio[kResponsePoints], tangent[kResponsePoints];
    for (int i = 0; i < kResponsePoints; ++i) {
      // Numerator and denominator at z = e^(jw), each formed in double and
      // rounded to Real.
      const Real n_re = static_cast<Real>((a0 + a1 * t.c1[i]) + a2 * t.c2[i]);
      const Real n_im = static_cast<Real>((0.0 - a1 * t.s1[i]) - a2 * t.s2[i]);
      const Real d_re = static_cast<Real>((b1 * t.c1[i] + 1.0) + b2 * t.c2[i]);
      const Real d_im = static_cast<Real>((0.0 - b1 * t.s1[i]) - b2 * t.s2[i]);
      ratio[i] = (n_re * n_re + n_im * n_im) / (d_re * d_re + d_im * d_im);
      // tan(arg N - arg D), so the section's phase is taken modulo pi.
      tangent[i] = (n_im * d_re - n_re * d_im) / (n_re * d_re + n_im * d_im);
    }
    for (int i = 0; i < kResponsePoints; ++i) {
      const Real gain_term = static_cast<Real>(10.0 * std::log10(static_cast<double>(ratio[i])));
      gain[i] = static_cast<float>(Widen(gain[i]) + static_cast<double>(gain_term));
    }
    for (int i = 0; i < kResponsePoints; ++i) {
      const Real phase_term = static_cast<Real>(std::atan(static_cast<double>(tangent[i])));
      phase[i] = static_cast<float>(Widen(phase[i]) + static_cast<double>(phase_term));
    }
  }
}

}  // namespace

void CascadeResponseSingle(const BiquadSet& set, float pi, float* gain, float* phase) {
  CascadeResponse<float>(set, pi, gain, phase);
}

void CascadeResponseDouble(const BiquadSet& set, float pi, float* gain, float* phase) {
  CascadeResponse<double>(set, pi, gain, phase);
}
