// The board header and the export layouts. The header: impulse responses
// derived by hand, and every output bit, in blocks of any size, against
// its documented order of operations written out here;
// a checksum of those bits pins them across machines (the armhf build
// runs this under qemu-arm). The layouts: a hand-written file through the
// strict reading, parsed back to the floats, signs and order written out
// here, in the shortest texts. Where liquid-dsp is found, the layouts in
// its filters agree with the header within a derived bound.
#include <numeric>

#include "coeff/coeff_layout.h"
#include "coeff/coeff_reading.h"
#include "tests/board_support.h"
#ifdef WITH_LIQUID
#include <liquid/liquid.h>

#include "tests/unit/biquad_reference.h"
#endif

namespace {

using namespace board;

// The header's documented order of operations, a sample at a time: each
// biquad section's difference equations, or the FIR's four running sums.
Floats WrittenOut(bool biquad, const Floats& c, Floats x) {
  Floats s(2 * c.size(), 0.0f), history;
  for (float& v : x) {
    for (size_t k = 0; biquad && k < c.size() / 5; ++k) {
      const float *q = &c[5 * k], y = q[0] * v + s[2 * k];
      s[2 * k] = (q[1] * v - q[3] * y) + s[2 * k + 1];
      s[2 * k + 1] = q[2] * v - q[4] * y;
      v = y;
    }
    float acc[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    history.insert(history.begin(), v);
    for (size_t k = 0; !biquad && k < c.size() && k < history.size(); ++k) acc[k % 4] += c[k] * history[k];
    if (!biquad) v = c.empty() ? 0.0f : (acc[0] + acc[1]) + (acc[2] + acc[3]);
  }
  return x;
}

// The bits of the values, and their FNV-1a hash.
std::vector<uint32_t> AllBits(const Floats& v, uint32_t* hash = nullptr) {
  std::vector<uint32_t> bits;
  for (float f : v) bits.push_back(test::Bits(f)), hash && (*hash = (*hash ^ bits.back()) * 16777619u);
  return bits;
}

// A layout of the file, its numbers after the text `from` (and after the
// array's '{' in C) parsed back: the longest prefix strtof takes from a
// sign, digit or point (a C literal's f skipped); none without `from`.
Floats Exported(const std::string& layout, const std::string& file, const std::string& from) {
  const CoeffLayout* l = FindCoeffLayout(layout);
  const std::string all = l->write(ReadCoefficientFile(l->kind, file).values, file);
  const size_t at = std::min(all.find(from), all.size()), brace = all.find('{', at);
  return test::Numbers(all, brace == std::string::npos ? at : brace + 1);
}

}  // namespace

TEST(BoardHeader, ImpulseResponsesDerivedByHandAndEveryBitAsTheDocumentedOrderOnEveryMachine) {
  // (1 + 2 z^-1 + z^-2) / (1 - 0.5 z^-1): 1, 2 + 0.5, 1 + 0.5 * 2.5, then halving (1.125, 0.5625,
  // 0.28125); 1 / (1 + 0.25 z^-2): 1, 0, -0.25, 0, 0.0625, 0; their cascade the convolution of the two.
  // A FIR's, its taps (5: one past the sums of four).
  const Floats impulse = {1, 0, 0, 0, 0, 0};
  EXPECT_EQ(Filter(true, {1, 2, 1, -0.5f, 0, 1, 0, 0, 0, 0.25f}, impulse),
            (Floats{1, 2.5f, 2, 0.5f, 0.0625f, 0.15625f}));
  EXPECT_EQ(Filter(false, {0.5f, -0.25f, 0, 2, 1}, impulse, {2, 5}), (Floats{0.5f, -0.25f, 0, 2, 1, 0}));
  EXPECT_EQ(Filter(true, {}, Floats{0.5f, -2}), (Floats{0.5f, -2}));  // no section: the input
  EXPECT_EQ(Filter(false, {}, Floats{1, 2}), (Floats{0, 0}));         // no taps: nothing
  // pelmora's built-in band-pass and tavrine's 140 taps.
  const Floats x = Signal(6000);
  const Floats taps = Exported("fir-c", TEST_DATA_DIR "/tavrine_coeff1.txt", "#define FIR_TAPS 140\n");
  const Floats biquad = WrittenOut(true, kPelmora, x), fir = WrittenOut(false, taps, x);
  uint32_t hashes[2] = {2166136261u, 2166136261u};
  EXPECT_EQ(AllBits(Filter(true, kPelmora, x)), AllBits(biquad, &hashes[0]));
  EXPECT_EQ(AllBits(Filter(false, taps, x)), AllBits(fir, &hashes[1]));
  // The written-out order's outputs as x86-64 computes them.
  EXPECT_EQ(std::vector<uint32_t>(hashes, hashes + 2), (std::vector<uint32_t>{1253876319u, 1788381398u}));
}

TEST(Export, LayoutsReadBackAsTheFileHoldsThemInTheShortestTexts) {
  // The file: a0 a1 a2 b1 b2 of two sections (blanks, a carriage return
  // and no final newline in its last lines); as taps, ten.
  const float q = 0.1234567890123f;
  const Floats file = {0.5f, -0.25f, 0.125f, -1.5f, 0.5625f, q, 0.002f, -3, 0.25f, -0.0625f};
  const std::vector<std::tuple<std::string, std::string, Floats>> cases = {
      {"biquad-c", "#define BIQUAD_SECTIONS 2\n", file},
      {"biquad-sos", "", {0.5f, -0.25f, 0.125f, 1, -1.5f, 0.5625f, q, 0.002f, -3, 1, 0.25f, -0.0625f}},
      {"biquad-cmsis", "#define BIQUAD_CMSIS_STAGES 2\n",
       {0.5f, -0.25f, 0.125f, 1.5f, -0.5625f, q, 0.002f, -3, -0.25f, 0.0625f}},
      {"fir-c", "#define FIR_TAPS 10\n", file},
      {"fir-cmsis", "#define FIR_CMSIS_TAPS 10\n", Floats(file.rbegin(), file.rend())},  // reversed
  };
  for (const auto& [layout, from, expected] : cases)
    EXPECT_EQ(AllBits(Exported(layout, TEST_DATA_DIR "/board_example.txt", from)), AllBits(expected)) << layout;
}

#ifdef WITH_LIQUID
// liquid-dsp's second-order-section IIR filter takes the biquad-sos rows
// (B = b0 b1 b2, A = 1 a1 a2 each), its FIR filter the fir-cmsis taps put
// back in order. Both round otherwise than the header (liquid runs direct
// form II and sums dot products in its own order): not bit for bit, but
// within twice a bound on single-precision rounding (u = 2^-24) that each
// form keeps from the exact output, derived for each filter:
//  - a sum of N products, each product and partial sum rounded once, is
//    within gamma(N + 1) sum |h[k]| max |x| of the exact sum in any order,
//    gamma(m) = m u / (1 - m u);
//  - a biquad section, with H its transfer function, 1/A its recursive part
//    and X the bound on its input: its output is at most |H|1 X and a direct
//    form II state at most |1/A|1 X, so every product and partial sum is at
//    most M = (1 + sum of |coefficients|) X G, G = max(1, |H|1, |1/A|1). Each
//    of its 9 roundings a sample is at most u M and reaches the output
//    through 1/A (transposed form), H (direct form's state) or directly, a
//    gain of at most G; the error that comes in is filtered by H:
//    E = |H|1 E_in + 9 u M G.
// Sum of |g[n]| of the impulse response of (n0 + n1 z^-1 + n2 z^-2) /
// (1 + d1 z^-1 + d2 z^-2), in double, over samples enough for the stable
// sections here to have no tail that counts.
static double L1(double n0, double n1, double n2, double d1, double d2) {
  double sum = 0, y1 = 0, y2 = 0;
  for (int n = 0; n < 100000; ++n) {
    const double y = (n == 0 ? n0 : n == 1 ? n1 : n == 2 ? n2 : 0) - d1 * y1 - d2 * y2;
    sum += std::fabs(y), y2 = y1, y1 = y;
  }
  return sum;
}

// The bound above for inputs of at most 1 (biquad: 5 values a section; fir: taps).
static double Bound(bool biquad, const Floats& c) {
  const auto sum = [](const float* v, size_t n) {
    return std::accumulate(v, v + n, 0.0, [](double a, float f) { return a + std::fabs(f); });
  };
  double e = 0, x_max = 1;
  for (size_t k = 0; biquad && k + 5 <= c.size(); k += 5) {
    const double h = L1(c[k], c[k + 1], c[k + 2], c[k + 3], c[k + 4]);
    const double g = std::max({1.0, h, L1(1, 0, 0, c[k + 3], c[k + 4])});
    e = h * e + 9 * 0x1p-24 * (1 + sum(&c[k], 5)) * x_max * g * g;
    x_max *= h;
  }
  return biquad ? e : (c.size() + 1) * 0x1p-24 / (1 - (c.size() + 1) * 0x1p-24) * sum(c.data(), c.size());
}

TEST(Liquid, ExportedLayoutsFilterAsTheBoardHeaderWithinRounding) {
  // Every type and order of the designer's printed coefficients, a file each; tap files.
  const std::string dir = test::MakeTempDir();
  std::vector<std::pair<bool, std::string>> files;
  for (const std::string& text : test::PrintedCoefficients())
    test::Write(files.emplace_back(true, dir + "/" + std::to_string(files.size())).second, text);
  for (const char* name : {"/tavrine_coeff1.txt", "/tavrine_band_reject.txt", "/board_example.txt"})
    files.push_back({false, TEST_DATA_DIR + std::string(name)});
  const Floats x = Signal(20000, 7);
  for (const auto& [biquad, file] : files) {
    const Floats c = Exported(biquad ? "biquad-c" : "fir-c", file, "");
    Floats layout = Exported(biquad ? "biquad-sos" : "fir-cmsis", file, ""), b, a, theirs(x.size());
    for (size_t k = 0; biquad && k < layout.size(); k += 6)
      b.insert(b.end(), &layout[k], &layout[k + 3]), a.insert(a.end(), &layout[k + 3], &layout[k + 6]);
    if (biquad) {
      iirfilt_rrrf q = iirfilt_rrrf_create_sos(b.data(), a.data(), unsigned(layout.size() / 6));
      iirfilt_rrrf_execute_block(q, const_cast<float*>(x.data()), unsigned(x.size()), theirs.data());
      iirfilt_rrrf_destroy(q);
    } else {
      std::reverse(layout.begin(), layout.end());
      firfilt_rrrf q = firfilt_rrrf_create(layout.data(), unsigned(layout.size()));
      firfilt_rrrf_execute_block(q, const_cast<float*>(x.data()), unsigned(x.size()), theirs.data());
      firfilt_rrrf_destroy(q);
    }
    const Floats ours = Filter(biquad, c, x);
    double worst = 0;
    for (size_t i = 0; i < x.size(); ++i) worst = std::max(worst, std::fabs(double(ours[i]) - theirs[i]));
    EXPECT_LE(worst, 2 * Bound(biquad, c)) << file;
    // The bound is small beside outputs of about 1: a swapped sign, coefficient or tap would show.
    EXPECT_LT(2 * Bound(biquad, c), 1e-3) << file;
  }
}
#endif
