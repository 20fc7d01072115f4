// Kaiser window, applied to the taps in place:
//   w[i] = I0(shape sqrt(1 - r^2)) / I0(shape), r = (i - M) / M, M = (N - 1) / 2,
// for i = 0 to N - 1; shape 0 gives the rectangular window (all 1.0). The
// shape is tavrine's alpha, the beta of other libraries' Kaiser windows.
//
// Precision: I0 by its power series in single precision; M, r, r * r and
// the quotient w in single; 1 - r * r, the square root and the product
// with the shape in double, rounded once to x. r at i and at N - 1 - i are
// exact negatives, so the window is symmetric to the bit, and at the
// centre of an odd N x equals the shape, so w is exactly 1.0 there. A
// single tap (N = 1, where M = 0) is its own centre and keeps its value.

#include <cmath>

#include "core/numeric.h"
#include "fir/fir_design.h"

float alpha;

float BesselI0(float x) {
  // Stops at the first step that leaves the sum unchanged: every sum is at
  // least 1, so any non-zero change exceeds the tolerance, and the first
  // step, from a previous sum of 0, always goes on.
  const float tolerance = 1e-14f;
  const float h = x / 2.0f;
  float k = 0.0f;
  float previous = 0.0f;
  float term = 1.0f;  // (x/2)^k / k!
  float sum = 1.0f;
  float change;
  do {
    k = k + 1.0f;
    term = term * (h / k);
    sum = sum + term * term;
    change = previous - sum;
    previous = sum;
  } while (change < -tolerance || change > tolerance);
  return sum;
}

void Kaiser(int N, float shape) {
  if (N == 1) return;
  const float i0_shape = BesselI0(shape);
  const float M = static_cast<float>(N - 1) / 2.0f;
  for (int i = 0; i < N; ++i) {
    const float r = (static_cast<float>(i) - M) / M;
    const float r2 = r * r;
    const float x = static_cast<float>(Widen(shape) * std::sqrt(1.0 - Widen(r2)));
    const float w = BesselI0(x) / i0_shape;
    hh[i] = hh[i] * w;
  }
}
