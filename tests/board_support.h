// What the tests of the board header and of the programs that use it
// share: exact input signals, pelmora's built-in cascade, and the header's
// filters run over a signal in blocks.
#pragma once

#include "board/filter_board.h"
#include "tests/support.h"

namespace board {

using Floats = std::vector<float>;

// pelmora's built-in band-pass, its coeff1.txt read as floats: a0, a1, a2, b1, b2 of each of its two sections.
const Floats kPelmora = test::Numbers(test::Read(TEST_DATA_DIR "/pelmora_coeff1.txt"));

// Exact floats in [-1, 1) from a linear congruential sequence: the same
// inputs on every machine, with no mathematics library in the way.
inline Floats Signal(size_t n, uint32_t s = 1) {
  Floats x(n);
  for (float& v : x) v = float(int32_t(s = s * 1664525u + 1013904223u) >> 8) * 0x1p-23f;
  return x;
}

// The header's biquad cascade (5 values a section) or FIR over each of the
// `channels` interleaved in x, in blocks of the sizes given, in turn, in
// place (as coeff-apply runs it).
inline Floats Filter(bool biquad, const Floats& c, Floats x, std::vector<size_t> sizes = {1, 3, 64, 1000, 517},
                     size_t channels = 1) {
  for (size_t ch = 0; ch < channels; ++ch) {
    Floats y, state(2 * c.size() + 1);
    for (size_t i = ch; i < x.size(); i += channels) y.push_back(x[i]);
    fb_biquad f = {};
    fb_fir g = {};
    biquad ? fb_biquad_init(&f, int(c.size() / 5), c.data(), state.data())
           : fb_fir_init(&g, int(c.size()), c.data(), state.data());
    for (size_t at = 0, b = 0, n; at < y.size(); at += n, ++b) {
      n = std::min(sizes[b % sizes.size()], y.size() - at);
      biquad ? fb_biquad_run(&f, &y[at], &y[at], n) : fb_fir_run(&g, &y[at], &y[at], n);
    }
    for (size_t i = ch; i < x.size(); i += channels) x[i] = y[i / channels];
  }
  return x;
}

}  // namespace board
