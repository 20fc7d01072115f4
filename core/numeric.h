// The numeric helpers that every computation of the suite shares.
#pragma once

// A single-precision value widened to double: written where a stored value
// enters a double-precision step, so that each step's precision shows.
constexpr double Widen(float v) { return static_cast<double>(v); }

// Angle of response point i, rad per sample: w_i = (i pi) / 180 + 0.001,
// the product i pi in single precision, the division and the addition in
// double.
inline double PointAngle(int i, float pi) { return Widen(static_cast<float>(i) * pi) / 180.0 + 0.001; }
