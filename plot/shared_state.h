// State that every program of the suite holds, each program its own copy
// (defined in shared_state.cpp), and the two helpers that every
// computation shares. The values at program load are the ones the viewers
// and the FIR designer compute with; the IIR designer assigns its own
// value of Pi before any use.
#pragma once

// Number of entries of the response arrays; the response computations
// write entries 0 to 359 (one point per degree of the unit circle), the
// plot reads entries 0 to 179.
constexpr int kResponseSize = 400;
constexpr int kResponsePoints = 360;

// A single-precision value widened to double: written where a stored value
// enters a double-precision step, so that each step's precision shows.
constexpr double D(float v) { return static_cast<double>(v); }

// Angle of response point i, rad per sample: w_i = (i pi) / 180 + 0.001,
// the product i pi in single precision, the division and the addition in
// double.
inline double PointAngle(int i, float pi) { return D(static_cast<float>(i) * pi) / 180.0 + 0.001; }

// Filter type codes of FilType, the same in both designers.
constexpr int kLowPass = 0;
constexpr int kHighPass = 1;
constexpr int kBandPass = 2;
constexpr int kBandReject = 3;

extern float Pi;          // value of pi used for the point frequencies
extern float Fsamp;       // sampling frequency, Hz
extern float freq_range;  // frequency span of the plot, Hz
extern float gain_range;  // gain span of the plot, dB

extern float Gain[kResponseSize];   // gain per response point, dB
extern float Theta[kResponseSize];  // phase per response point, rad
