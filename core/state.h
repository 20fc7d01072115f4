// State that every program of the suite holds, each program its own copy
// (defined in core/state.cpp): the value of pi, the plot settings and the
// response arrays. The values at program load are the ones the viewers
// and the FIR designer compute with; the IIR designer assigns its own
// value of Pi before any use.
#pragma once

// Number of entries of the response arrays; the response computations
// write entries 0 to 359 (one point per degree of the unit circle), the
// plot reads entries 0 to 179.
constexpr int kResponseSize = 400;
constexpr int kResponsePoints = 360;

extern float Pi;          // value of pi used for the point frequencies
extern float Fsamp;       // sampling frequency, Hz
extern float freq_range;  // frequency span of the plot, Hz
extern float gain_range;  // gain span of the plot, dB

extern float Gain[kResponseSize];   // gain per response point, dB
extern float Theta[kResponseSize];  // phase per response point, rad
