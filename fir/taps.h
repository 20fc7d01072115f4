// The tap set of an FIR filter, H(z) = sum over n of hh[n] z^-n for
// n = 0 to TapN - 1, and its frequency response. The designer fills the
// set by its design chain, the viewer from a tap file.
#pragma once

// Entries of the tap array: the most taps a filter or a tap file can have.
constexpr int kMaxTaps = 400;

// The taps a request of `requested` designs: the design places its taps
// symmetrically about a centre tap, so an even request designs one fewer.
constexpr int DesignedTapCount(int requested) { return requested % 2 == 0 ? requested - 1 : requested; }

extern float hh[kMaxTaps];  // taps; hh[n] multiplies z^-n
extern int TapN;            // taps in use, hh[0] to hh[TapN - 1]

// Within hh: TapN <= kMaxTaps where it enters (the reader, the configured count).

// Gain (dB) and phase (rad) of the taps at the 360 points
// w_i = i Pi / 180 + 0.001 rad per sample, i = 0 to 359:
//   H(w) = re + j im = sum over n of hh[n] e^(-j w n),
//   gain = 10 log10(re^2 + im^2), phase = atan(im / re) in -pi/2 to pi/2.
// Reads hh, TapN and Pi. With no taps (an empty file) the gain is minus
// infinity and the phase not a number. Entries 360 and up of the output
// arrays are not touched.
void CalcFres(float* gain, float* phase);
