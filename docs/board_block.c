/* The worked example of the README's "From a design to your board": filters
   a block of 64 samples (an impulse) with the cascade that coeff-export
   wrote into coeffs.h, and prints the first six outputs. Build it with
   cc -std=c99 -O2 $(pkg-config --cflags filter-board) board_block.c */
#include <stdio.h>
#include <filter_board.h>
#include "coeffs.h"

int main(void) {
  float state[2 * BIQUAD_SECTIONS];
  float x[64] = {1.0f}, y[64]; /* an impulse */
  fb_biquad f;
  int i;
  fb_biquad_init(&f, BIQUAD_SECTIONS, biquad_coeffs, state);
  fb_biquad_run(&f, x, y, 64);
  for (i = 0; i < 6; ++i) printf("%.9g\n", y[i]);
  return 0;
}
