// The exported layouts given to liquid-dsp, an independent library: its
// second-order-section IIR filter takes the biquad-sos rows, its FIR
// filter the fir-cmsis taps put back in order, and both filter the signal
// that the board header filters. They round differently (liquid runs
// direct form II, and sums its dot products in its own order), so the
// outputs agree within a bound on single-precision rounding derived below
// for each filter, not bit for bit.
#include <liquid/liquid.h>

#include "board/filter_board.h"
#include "programs/coeff_read.h"
#include "tests/support.h"

namespace {

using Floats = std::vector<float>;
constexpr double kUnit = 0x1p-24;  // unit roundoff of single precision

// A deterministic signal in [-1, 1): exact floats.
Floats Signal(size_t n) {
  Floats x(n);
  uint32_t s = 7;
  for (float& v : x) v = float(int32_t(s = s * 1664525u + 1013904223u) >> 8) * 0x1p-23f;
  return x;
}

// The numbers of a layout's text after `from`.
Floats Numbers(const std::string& text, const std::string& from) {
  Floats values;
  for (const char* p = text.c_str() + text.find(from) + from.size(); *p;) {
    char* end = const_cast<char*>(p);
    if (std::strchr("+-.0123456789", *p)) values.push_back(std::strtof(p, &end));
    p = end == p ? p + 1 : end;
  }
  return values;
}

Floats Export(const char* layout, const std::string& file, std::string from) {
  const CoeffLayout* l = FindCoeffLayout(layout);
  return Numbers(l->write(ReadCoefficients(l->kind, file.c_str(), true), file), from);
}

// Sum of |g[n]| of the impulse response of (n0 + n1 z^-1 + n2 z^-2) /
// (1 + d1 z^-1 + d2 z^-2), in double, over enough samples for the tail of
// the stable sections here to be far below the sum's own rounding.
double L1(double n0, double n1, double n2, double d1, double d2) {
  double sum = 0, y1 = 0, y2 = 0;
  for (int n = 0; n < 100000; ++n) {
    const double y = (n == 0 ? n0 : n == 1 ? n1 : n == 2 ? n2 : 0) - d1 * y1 - d2 * y2;
    sum += std::fabs(y);
    y2 = y1;
    y1 = y;
  }
  return sum;
}

// Bound on |y - exact| of a cascade in either form for inputs of at most
// x_max. Per section, with H its transfer function, 1/A its recursive part
// and X the bound on its input: its output is at most Y = |H|1 X and a
// direct form II state at most W = |1/A|1 X, so every product and partial
// sum is at most M = (1 + sum of |coefficients|) max(X, Y, W). Each of the
// 9 operations a sample rounds once, by at most kUnit M, and its error
// reaches the output through 1/A (transposed form), H (the direct form's
// state) or directly, gain at most G = max(1, |1/A|1, |H|1). The error
// that comes in is filtered by H: E = |H|1 E_in + 9 kUnit M G.
double CascadeBound(const Floats& c, double x_max) {
  double e = 0;
  for (size_t k = 0; k + 5 <= c.size(); k += 5) {
    const double h = L1(c[k], c[k + 1], c[k + 2], c[k + 3], c[k + 4]), r = L1(1, 0, 0, c[k + 3], c[k + 4]);
    double sum = 0;
    for (int i = 0; i < 5; ++i) sum += std::fabs(c[k + i]);
    const double m = (1 + sum) * std::max({x_max, h * x_max, r * x_max});
    e = h * e + 9 * kUnit * m * std::max({1.0, r, h});
    x_max = h * x_max;
  }
  return e;
}

}  // namespace

TEST(Liquid, BiquadSosRowsFilterAsTheBoardHeaderWithinRounding) {
  // Every type and order of the designer's printed coefficients, one file each.
  std::istringstream designs(test::Read(TEST_DATA_DIR "/iir_coefficients.txt") + "#");
  const std::string file = test::MakeTempDir() + "/coeff1.txt";
  std::string lines, line;
  const Floats x = Signal(20000);
  while (std::getline(designs, line)) {
    if (line[0] != '#') {
      lines += line + "\n";
      continue;
    }
    if (lines.empty()) continue;
    test::Write(file, lines);
    lines.clear();
    const Floats sos = Export("biquad-sos", file, ""), c = Export("biquad-c", file, "{");
    // liquid's sections: B = b0 b1 b2 and A = 1 a1 a2 of each row.
    const unsigned n = unsigned(sos.size() / 6);
    Floats b, a;
    for (unsigned k = 0; k < n; ++k) {
      b.insert(b.end(), &sos[6 * k], &sos[6 * k + 3]);
      a.insert(a.end(), &sos[6 * k + 3], &sos[6 * k + 6]);
    }
    iirfilt_rrrf q = iirfilt_rrrf_create_sos(b.data(), a.data(), n);
    Floats theirs(x.size()), ours(x.size()), state(2 * n);
    iirfilt_rrrf_execute_block(q, const_cast<float*>(x.data()), unsigned(x.size()), theirs.data());
    iirfilt_rrrf_destroy(q);
    fb_biquad f;
    fb_biquad_init(&f, int(n), c.data(), state.data());
    fb_biquad_run(&f, x.data(), ours.data(), x.size());
    double worst = 0;
    for (size_t i = 0; i < x.size(); ++i) worst = std::max(worst, std::fabs(double(ours[i]) - theirs[i]));
    double peak = 0;
    for (float v : ours) peak = std::max(peak, double(std::fabs(v)));
    EXPECT_LE(worst, 2 * CascadeBound(c, 1.0)) << file;
    // The bound is a small part of the output: a swapped sign or coefficient would show.
    EXPECT_LT(2 * CascadeBound(c, 1.0), 1e-3 * peak);
  }
}

TEST(Liquid, FirTapsReversedBackFilterAsTheBoardHeaderWithinRounding) {
  // Each sum of N products: every product and partial sum rounds once, so
  // each form is within gamma(N + 1) sum |h[k] x[n-k]| of the exact sum,
  // gamma(m) = m u / (1 - m u), whatever its order of summation.
  for (const char* name : {"/tavrine_coeff1.txt", "/tavrine_band_reject.txt", "/board_example.txt"}) {
    Floats h = Export("fir-cmsis", TEST_DATA_DIR + std::string(name), "{");
    std::reverse(h.begin(), h.end());
    const Floats x = Signal(20000);
    firfilt_rrrf q = firfilt_rrrf_create(h.data(), unsigned(h.size()));
    Floats theirs(x.size()), ours(x.size()), delay(2 * h.size());
    firfilt_rrrf_execute_block(q, const_cast<float*>(x.data()), unsigned(x.size()), theirs.data());
    firfilt_rrrf_destroy(q);
    fb_fir g;
    fb_fir_init(&g, int(h.size()), h.data(), delay.data());
    fb_fir_run(&g, x.data(), ours.data(), x.size());
    const double gamma = (h.size() + 1) * kUnit / (1 - (h.size() + 1) * kUnit);
    for (size_t n = 0; n < x.size(); ++n) {
      double magnitude = 0;
      for (size_t k = 0; k < h.size() && k <= n; ++k) magnitude += std::fabs(double(h[k]) * x[n - k]);
      ASSERT_LE(std::fabs(double(ours[n]) - theirs[n]), 2 * gamma * magnitude) << name << " at " << n;
    }
    // Taps in the wrong order would not agree: the outputs differ at once.
    EXPECT_NE(ours[h.size() / 2], 0.0f);
  }
}
