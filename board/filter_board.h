/* filter_board.h: the filters of the suite's coefficient files as a board
 * runs them, in single precision. C99 (and C++), no allocation, no library
 * calls: the caller owns the coefficients, the state and the sample blocks.
 *
 * Biquad cascade. Section k (k = 0 .. sections - 1) is
 *
 *     H_k(z) = (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2)
 *
 * with the coefficients in the order of the biquad coefficient file:
 * coeffs[5k + 0 .. 4] = a0, a1, a2, b1, b2 (b1 and b2 enter the
 * denominator with a plus sign). Each section runs in transposed direct
 * form II, with the state s1, s2 (zero at the start), for every sample:
 *
 *     y[n]  = a0 x[n] + s1[n-1]
 *     s1[n] = (a1 x[n] - b1 y[n]) + s2[n-1]
 *     s2[n] = a2 x[n] - b2 y[n]
 *
 * so y[n] = a0 x[n] + a1 x[n-1] + a2 x[n-2] - b1 y[n-1] - b2 y[n-2].
 * Section 0 takes the input, section k the output of section k - 1, and
 * the last section gives the output. With no sections the output is the
 * input.
 *
 * FIR filter. taps[0 .. N-1] as in the tap file, tap 0 first:
 *
 *     y[n] = sum over k = 0 .. N-1 of h[k] x[n-k]     (x[n] = 0 for n < 0)
 *
 * summed in four running sums, for j = 0 .. 3, each over the taps
 * k = j, j + 4, j + 8, ... in rising k from +0:
 *     acc_j = acc_j + h[k] x[n-k],   y[n] = (acc_0 + acc_1) + (acc_2 + acc_3)
 * With no taps y = 0.
 *
 * Every product and sum above is one single-precision operation, rounded
 * to nearest, in the order written. The results are then the same, bit for
 * bit, on every machine whose float arithmetic is IEEE 754 single precision
 * without excess precision (FLT_EVAL_METHOD 0: x86-64 with SSE, armhf
 * with VFP, AArch64), provided the compiler keeps that order:
 *   - compile with -ffp-contract=off (GCC contracts a * b + c into one
 *     fused multiply-add where the target has one, which rounds once; its
 *     default is off only for C in a strict ISO mode such as -std=c99);
 *   - never -ffast-math, -Ofast, -funsafe-math-optimizations or
 *     -fassociative-math (they reorder sums, and on ARM let NEON, which
 *     flushes subnormals to zero, take over);
 *   - on 32-bit x86 add -msse2 -mfpmath=sse (the x87 unit keeps excess
 *     precision; this header refuses to compile where FLT_EVAL_METHOD is
 *     not 0).
 * -O0 to -O3 give the same bits. Subnormal numbers must not be flushed
 * (the default of Linux on x86-64 and armhf).
 *
 * Use:
 *     float state[2 * SECTIONS];
 *     fb_biquad f;
 *     fb_biquad_init(&f, SECTIONS, coeffs, state);
 *     fb_biquad_run(&f, in, out, n);      (any n; in and out may be the same)
 *
 *     float delay[2 * TAPS];
 *     fb_fir g;
 *     fb_fir_init(&g, TAPS, taps, delay);
 *     fb_fir_run(&g, in, out, n);
 */
#ifndef FILTER_BOARD_H
#define FILTER_BOARD_H

#include <float.h>
#include <stddef.h>

#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD != 0
#error "filter_board.h needs float arithmetic without excess precision (FLT_EVAL_METHOD 0; on 32-bit x86: -msse2 -mfpmath=sse)"
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A biquad cascade: coefficients (5 a section) and state (2 a section),
   both owned by the caller and kept for the filter's lifetime. */
typedef struct fb_biquad {
  int sections;
  const float *coeffs;
  float *state;
} fb_biquad;

/* A direct-form FIR filter: the taps and a delay line of 2 * taps floats
   owned by the caller (each input is kept twice, so that the last taps
   inputs always lie in a row); pos is where the newest input is. */
typedef struct fb_fir {
  int taps;
  const float *h;
  float *delay;
  int pos;
} fb_fir;

/* Clears the state: the filter then behaves as if its input had been zero. */
static inline void fb_biquad_reset(fb_biquad *f) {
  int i;
  for (i = 0; i < 2 * f->sections; ++i) f->state[i] = 0.0f;
}

static inline void fb_biquad_init(fb_biquad *f, int sections, const float *coeffs, float *state) {
  f->sections = sections;
  f->coeffs = coeffs;
  f->state = state;
  fb_biquad_reset(f);
}

/* Filters n samples of in into out (out may be in). The block is taken
   one section at a time, which gives the same results as one sample at a
   time through all sections. */
static inline void fb_biquad_run(fb_biquad *f, const float *in, float *out, size_t n) {
  int k;
  size_t i;
  if (f->sections == 0) {
    for (i = 0; i < n; ++i) out[i] = in[i];
    return;
  }
  for (k = 0; k < f->sections; ++k) {
    const float *c = f->coeffs + 5 * k;
    const float a0 = c[0], a1 = c[1], a2 = c[2], b1 = c[3], b2 = c[4];
    const float *src = k == 0 ? in : out;
    float s1 = f->state[2 * k], s2 = f->state[2 * k + 1];
    for (i = 0; i < n; ++i) {
      const float x = src[i];
      const float y = a0 * x + s1;
      s1 = (a1 * x - b1 * y) + s2;
      s2 = a2 * x - b2 * y;
      out[i] = y;
    }
    f->state[2 * k] = s1;
    f->state[2 * k + 1] = s2;
  }
}

static inline void fb_fir_reset(fb_fir *g) {
  int i;
  for (i = 0; i < 2 * g->taps; ++i) g->delay[i] = 0.0f;
  g->pos = 0;
}

static inline void fb_fir_init(fb_fir *g, int taps, const float *h, float *delay) {
  g->taps = taps;
  g->h = h;
  g->delay = delay;
  fb_fir_reset(g);
}

/* Filters n samples of in into out (out may be in). */
static inline void fb_fir_run(fb_fir *g, const float *in, float *out, size_t n) {
  const int taps = g->taps;
  const float *h = g->h;
  size_t i;
  for (i = 0; i < n; ++i) {
    const float *w;
    float acc0 = 0.0f, acc1 = 0.0f, acc2 = 0.0f, acc3 = 0.0f;
    int k = 0;
    if (taps == 0) {
      out[i] = 0.0f;
      continue;
    }
    /* The newest input goes one place down, at pos and pos + taps: w[k]
       is then x[n-k] for k = 0 .. taps - 1. */
    g->pos = g->pos == 0 ? taps - 1 : g->pos - 1;
    g->delay[g->pos] = g->delay[g->pos + taps] = in[i];
    w = g->delay + g->pos;
    for (; k + 4 <= taps; k += 4) {
      acc0 = acc0 + h[k] * w[k];
      acc1 = acc1 + h[k + 1] * w[k + 1];
      acc2 = acc2 + h[k + 2] * w[k + 2];
      acc3 = acc3 + h[k + 3] * w[k + 3];
    }
    if (k < taps) acc0 = acc0 + h[k] * w[k];
    if (k + 1 < taps) acc1 = acc1 + h[k + 1] * w[k + 1];
    if (k + 2 < taps) acc2 = acc2 + h[k + 2] * w[k + 2];
    out[i] = (acc0 + acc1) + (acc2 + acc3);
  }
}

#ifdef __cplusplus
}
#endif

#endif /* FILTER_BOARD_H */
