// The FIR design chain: a linear-phase filter by frequency sampling.
//
// The stages take no arguments (Kaiser its length and shape) and pass
// their results through the state below, in this order: AdjustTapCount,
// PutParam (brick-wall desired response at FresN bins), DoIdft (inverse
// DFT, taps placed symmetrically about hh[TapN_2]), Kaiser (window). All
// floating-point state is single precision; each stage says where it works
// in double precision and rounds back.
//
// The stages take the parameters as configured (tavrine_limits.h bounds
// them) and check none of them.
#pragma once

#include "core/filter_type.h"
#include "core/state.h"
#include "fir/taps.h"

// Entries of the desired-response arrays: the most frequency bins.
constexpr int kMaxBins = 400;

// Design parameters.
extern int FresN;      // frequency bins of the desired response, the inverse DFT length
extern float lpf_fc1;  // low-pass edge, Hz
extern float hpf_fc1;  // high-pass edge, Hz
extern float bpf_fc1;  // band-pass lower edge, Hz
extern float bpf_fc2;  // band-pass upper edge, Hz
extern float brf_fc1;  // band-reject lower edge, Hz
extern float brf_fc2;  // band-reject upper edge, Hz
extern float alpha;    // Kaiser window shape parameter, other libraries' beta (0: rectangular window)
extern int FilType;    // filter type: 0 low-pass, 1 high-pass, 2 band-pass, 3 band-reject

// Tap count: TapN (taps.h) is the requested count until AdjustTapCount
// makes it the designed, odd count.
extern int evenTap;  // 1 if the requested count was even: the tap file gets a final zero tap
extern int TapN_2;   // index of the centre tap, TapN / 2

// Desired response: bin k is the frequency k Fsamp / FresN, the upper half
// standing for the negative frequencies.
// Within the arrays: FresN <= kMaxBins and every edge below Fsamp / 2 (configured).
extern float FresR[kMaxBins];  // real part, linear amplitude
extern float FresI[kMaxBins];  // imaginary part (always 0)

// Makes the requested count TapN odd: an even count is decreased by one
// and evenTap set to 1, else evenTap is 0; then TapN_2 = TapN / 2, so that
// TapN = 2 TapN_2 + 1.
void AdjustTapCount();
// Brick-wall desired response of FilType: pass bins 1.0, stop bins the
// amplitude of -200 dB (1e-10), FresI all 0.
void PutParam();
// x[n] = (1 / FresN) sum over k of FresR[k] cos(2 pi k n / FresN) - FresI[k] sin(...);
// hh[TapN_2 - m] = hh[TapN_2 + m] = x[m] for m = 0 to TapN_2, every other entry 0.
void DoIdft();
// hh[i] *= I0(shape sqrt(1 - r^2)) / I0(shape), r = (i - M) / M, M = (N - 1) / 2,
// for i = 0 to N - 1: the window of NumPy's, SciPy's and MATLAB's kaiser,
// whose beta is the shape (tavrine's alpha).
void Kaiser(int N, float shape);
// I0(x) = sum over k of ((x/2)^k / k!)^2, the zeroth-order modified Bessel
// function of the first kind, by its power series in single precision.
float BesselI0(float x);
