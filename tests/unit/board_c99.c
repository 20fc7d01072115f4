/* The board header compiled as C99: the unit test runs the same filters
   through this translation unit and through its own C++ inclusion. */
#include "board/filter_board.h"

void board_c99_biquad(int sections, const float *coeffs, float *state, const float *in, float *out, size_t n) {
  fb_biquad f;
  fb_biquad_init(&f, sections, coeffs, state);
  fb_biquad_run(&f, in, out, n);
}

void board_c99_fir(int taps, const float *h, float *delay, const float *in, float *out, size_t n) {
  fb_fir g;
  fb_fir_init(&g, taps, h, delay);
  fb_fir_run(&g, in, out, n);
}
