// What the tests of the recursive-filter designer and viewer share: the
// designer's printed files, and the response of biquad sections from their
// transfer function in double precision.
#pragma once

#include <complex>

#include "core/state.h"
#include "iir/cascade_response.h"
#include "tests/support.h"

namespace test {

// tests/data/iir_coefficients.txt: the printed coefficients of each type
// and order in turn (type = row / 2, order = row % 2 + 1), each file after
// a line "# type, order".
inline std::vector<std::string> PrintedCoefficients() {
  std::vector<std::string> printed;
  std::istringstream data(Read(TEST_DATA_DIR "/iir_coefficients.txt"));
  for (std::string line; std::getline(data, line);) {
    line[0] == '#' ? printed.emplace_back() : printed.back().append(line + "\n");
  }
  return printed;
}

// Gain (dB) and phase (rad) of sections 0 to n - 1 of (a0, a1, a2, b1, b2)
// at w, from the transfer function in double: each section's phase is
// arg N - arg D folded into -pi/2 to pi/2, as its principal arctangent is.
// False where a fold is too near to call the phase.
inline bool Response(const float* const s[5], int n, double w, double& gain, double& phase) {
  gain = phase = 0.0;
  bool clear = true;
  const std::complex<double> z = std::polar(1.0, -w);
  for (int j = 0; j < n; ++j) {
    const std::complex<double> h = (double(s[0][j]) + double(s[1][j]) * z + double(s[2][j]) * z * z) /
                                   (1.0 + double(s[3][j]) * z + double(s[4][j]) * z * z);
    const double folded = std::remainder(std::arg(h), M_PI);
    clear = clear && std::fabs(std::fabs(folded) - M_PI / 2) > 1e-3;
    gain += 20.0 * std::log10(std::abs(h));
    phase += folded;
  }
  return clear;
}

// The program's response (CalcFres into Gain and Theta) at w_i = i pi /
// 180 + 0.001 with its pi (w_i rounded to single precision if `single`)
// follows the transfer function of sections 0 to n - 1 of s within
// `tolerance` dB and a tenth of it in rad, wherever the gain is above
// -60 dB and the phase clear; entries 360 and up are not touched.
inline void ExpectResponseFollows(const float* const s[5], int n, float pi, bool single, double tolerance) {
  std::fill_n(Gain, kResponseSize, 42.0f);
  CalcFres(Gain, Theta);
  double g, p;
  for (int i = 0; i < kResponsePoints; ++i) {
    const double w = double(i * pi) / 180.0 + 0.001;
    if (!Response(s, n, single ? double(float(w)) : w, g, p) || g <= -60.0) continue;
    EXPECT_TRUE(std::fabs(Gain[i] - g) < tolerance && std::fabs(Theta[i] - p) < tolerance / 10) << "point " << i;
  }
  EXPECT_TRUE(Gain[kResponsePoints] == 42.0f && Gain[kResponseSize - 1] == 42.0f);
}

}  // namespace test
