// The board header: impulse responses derived by hand, and every output
// bit against the documented order of operations written out here, in
// blocks of any size, in place or not, compiled as C99 and as C++; a
// checksum of those bits pins them across machines (the armhf build runs
// this test under qemu-arm).
#include "board/filter_board.h"
#include "tests/support.h"

extern "C" void board_c99_biquad(int, const float*, float*, const float*, float*, size_t);
extern "C" void board_c99_fir(int, const float*, float*, const float*, float*, size_t);

namespace {

using Floats = std::vector<float>;

// Exact floats in [-1, 1) from a linear congruential sequence: the same
// inputs on every machine, with no mathematics library in the way.
Floats Signal(size_t n) {
  Floats x(n);
  uint32_t s = 1;
  for (float& v : x) v = float(int32_t(s = s * 1664525u + 1013904223u) >> 8) * 0x1p-23f;
  return x;
}

// Runs the header's filter over x in blocks of the sizes given, in turn,
// in place on odd blocks.
template <typename Run>
Floats InBlocks(Run run, const Floats& x, std::vector<size_t> sizes) {
  Floats y(x.size());
  for (size_t at = 0, b = 0; at < x.size(); at += sizes[b % sizes.size()], ++b) {
    const size_t n = std::min(sizes[b % sizes.size()], x.size() - at);
    if (b % 2) std::copy_n(&x[at], n, &y[at]);
    run(b % 2 ? &y[at] : &x[at], &y[at], n);
  }
  return y;
}

Floats Biquad(const Floats& c, const Floats& x, std::vector<size_t> sizes = {1, 3, 64, 1000, 517}) {
  Floats state(c.size() / 5 * 2 + 1);
  fb_biquad f;
  fb_biquad_init(&f, int(c.size() / 5), c.data(), state.data());
  return InBlocks([&](const float* in, float* out, size_t n) { fb_biquad_run(&f, in, out, n); }, x, sizes);
}

Floats Fir(const Floats& h, const Floats& x, std::vector<size_t> sizes = {1, 3, 64, 1000, 517}) {
  Floats delay(2 * h.size() + 1);
  fb_fir g;
  fb_fir_init(&g, int(h.size()), h.data(), delay.data());
  return InBlocks([&](const float* in, float* out, size_t n) { fb_fir_run(&g, in, out, n); }, x, sizes);
}

// The difference equations in the header's order, one sample at a time.
Floats BiquadWrittenOut(const Floats& c, Floats x) {
  Floats s(c.size() / 5 * 2, 0.0f);
  for (float& v : x) {
    for (size_t k = 0; k < c.size() / 5; ++k) {
      const float* q = &c[5 * k];
      const float y = q[0] * v + s[2 * k];
      s[2 * k] = (q[1] * v - q[3] * y) + s[2 * k + 1];
      s[2 * k + 1] = q[2] * v - q[4] * y;
      v = y;
    }
  }
  return x;
}

Floats FirWrittenOut(const Floats& h, const Floats& x) {
  Floats y(x.size());
  for (size_t n = 0; n < x.size(); ++n) {
    float acc[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (size_t k = 0; k < h.size() && k <= n; ++k) acc[k % 4] = acc[k % 4] + h[k] * x[n - k];
    y[n] = h.empty() ? 0.0f : (acc[0] + acc[1]) + (acc[2] + acc[3]);
  }
  return y;
}

// FNV-1a over the bits of the values.
uint32_t Checksum(const Floats& v) {
  uint32_t hash = 2166136261u;
  for (float f : v) hash = (hash ^ test::Bits(f)) * 16777619u;
  return hash;
}

std::vector<uint32_t> AllBits(const Floats& v) {
  std::vector<uint32_t> bits;
  for (float f : v) bits.push_back(test::Bits(f));
  return bits;
}

Floats Impulse(size_t n) {
  Floats x(n, 0.0f);
  x[0] = 1.0f;
  return x;
}

}  // namespace

TEST(BoardHeader, ImpulseResponsesDerivedByHand) {
  // (1 + 2 z^-1 + z^-2) / (1 - 0.5 z^-1): 1, 2 + 0.5, 1 + 0.5 * 2.5, then halving.
  // 1 / (1 + 0.25 z^-2): 1, 0, -0.25, 0, 0.0625. Their cascade: the convolution.
  const Floats s0 = {1, 2, 1, -0.5f, 0}, s1 = {1, 0, 0, 0, 0.25f};
  EXPECT_EQ(Biquad(s0, Impulse(6), {6}), (Floats{1, 2.5f, 2.25f, 1.125f, 0.5625f, 0.28125f}));
  EXPECT_EQ(Biquad(s1, Impulse(5), {2}), (Floats{1, 0, -0.25f, 0, 0.0625f}));
  Floats both = s0;
  both.insert(both.end(), s1.begin(), s1.end());
  EXPECT_EQ(Biquad(both, Impulse(5), {1, 4}), (Floats{1, 2.5f, 2, 0.5f, 0.0625f}));
  EXPECT_EQ(Biquad({}, Floats{0.5f, -2}), (Floats{0.5f, -2}));  // no section: the input
  // An FIR's impulse response is its taps; 5 taps leave one past the sums of four.
  EXPECT_EQ(Fir({0.5f, -0.25f, 0, 2, 1}, Impulse(7), {2, 5}), (Floats{0.5f, -0.25f, 0, 2, 1, 0, 0}));
  EXPECT_EQ(Fir({}, Floats{1, 2}), (Floats{0, 0}));
}

TEST(BoardHeader, EveryBitAsTheDocumentedOrderOnEveryMachine) {
  // pelmora's built-in band-pass and tavrine's 140 taps.
  const Floats pelmora = {0.265783f, 0, -0.265783f, -0.385449f, 0.475031f, 0.422319f, 0, -0.422319f, -1.316578f, 0.639658f};
  Floats tavrine;
  std::istringstream taps(test::Read(TEST_DATA_DIR "/tavrine_coeff1.txt"));
  for (std::string line; std::getline(taps, line);) tavrine.push_back(std::strtof(line.c_str(), nullptr));
  ASSERT_EQ(tavrine.size(), 140u);
  const Floats x = Signal(6000);
  const Floats biquad = BiquadWrittenOut(pelmora, x), fir = FirWrittenOut(tavrine, x);
  EXPECT_EQ(AllBits(Biquad(pelmora, x)), AllBits(biquad));
  EXPECT_EQ(AllBits(Fir(tavrine, x)), AllBits(fir));
  Floats c_biquad(x.size()), c_fir(x.size()), state(4), delay(280);
  board_c99_biquad(2, pelmora.data(), state.data(), x.data(), c_biquad.data(), x.size());
  board_c99_fir(140, tavrine.data(), delay.data(), x.data(), c_fir.data(), x.size());
  EXPECT_EQ(AllBits(c_biquad), AllBits(biquad));
  EXPECT_EQ(AllBits(c_fir), AllBits(fir));
  // The written-out order's outputs as x86-64 computes them.
  EXPECT_EQ(Checksum(biquad), 1253876319u);
  EXPECT_EQ(Checksum(fir), 1788381398u);
}
