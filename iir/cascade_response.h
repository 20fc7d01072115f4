// Frequency response of a cascade of biquad sections
// (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2), at the 360 points
// w_i = i pi / 180 + 0.001 rad per sample, i = 0 to 359: gain in dB and
// phase in rad. The phase is the plain sum of the sections' principal
// arctangents, each within -pi/2 to pi/2: neither wrapped nor unwrapped.
// Entries 360 and up of the output arrays are not touched.
#pragma once

struct BiquadSet {
  const float* a0;
  const float* a1;
  const float* a2;
  const float* b1;
  const float* b2;
  int count;  // sections 0 to count - 1; none gives 0 dB and 0 rad
};

// The designer's variant: w, the numerator and denominator values, and all
// products and quotients in single precision; cos, sin, log10 and atan in
// double precision, their results rounded to single precision.
void CascadeResponseSingle(const BiquadSet& set, float pi, float* gain, float* phase);

// The viewer's variant: every intermediate in double precision, each term
// added to the widened array value and the sum rounded when stored.
void CascadeResponseDouble(const BiquadSet& set, float pi, float* gain, float* phase);

// The program's response over its own coefficient set: the designer's
// entries 0 and 1, or the viewer's BiquadN loaded sections.
void CalcFres(float* gain, float* phase);
