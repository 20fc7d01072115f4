// What the tuners' views show of a cascade, computed directly in double
// precision from its coefficients (the design chain's single-precision
// values, or the file's six decimals read back): the frequency response
// on a dense grid, the group delay, the roots of its polynomials and its
// impulse response.
#pragma once

#include <complex>
#include <vector>

#include "tune/tuning.h"

// Pi in double precision, for the views (the design chain has its own,
// in single precision, in core/state.h).
constexpr double kPi = 3.14159265358979323846;

// H(e^jw) at w = 2 pi hz / fsamp: the product over the sections of
// b(e^-jw) / a(e^-jw), each polynomial summed term by term.
std::complex<double> ResponseAt(const Cascade& cascade, double hz, double fsamp);

// `points` frequencies from `from` to `to` (Hz), evenly spaced, or evenly
// on a logarithmic scale (from > 0).
std::vector<double> FrequencyGrid(double from, double to, int points, bool logarithmic);

// Gain (dB, 20 log10 |H|) and phase (degrees, -180 to 180) at each
// frequency. Where H is 0 (a zero on the unit circle, such as a band-pass's
// at 0 Hz; below 1e-12, -240 dB, since sin(pi) is not 0 in double
// precision) its phase is the limit beside it, taken a ten-thousandth of the
// sampling frequency nearer the band's middle (below a pixel of the whole
// band, and far enough that a double zero's w^2 stands above the rounding
// of the sums), not arg(0).
struct Response {
  std::vector<double> gain_db, phase_deg;
};
Response ResponseOn(const Cascade& cascade, const std::vector<double>& hz, double fsamp);
double PhaseDegAt(const Cascade& cascade, double hz, double fsamp);

// The phase (degrees) at ascending frequencies hz, whose wrapped values
// are `wrapped`, without its jumps of 360: continued from 0 Hz, through a
// grid of 4096 steps over the band below hz[0], so that a zoomed band
// shows the values that the whole band does.
std::vector<double> UnwrappedPhase(const Cascade& cascade, const std::vector<double>& hz, double fsamp,
                                   const std::vector<double>& wrapped);

// Group delay in samples, -d(phase)/dw, at each frequency: for each
// polynomial p, Re(sum n p_n z^-n / sum p_n z^-n) at z = e^jw, the
// numerators' added and the denominators' taken away. Where a polynomial
// (nearly) vanishes, a zero on the unit circle, the sums are 0/0: there the
// delay is the mean of its values a millionth of a radian either side (each
// such zero adds half a sample), a finite value in line with its neighbours.
std::vector<double> GroupDelay(const Cascade& cascade, const std::vector<double>& hz, double fsamp);

// The roots in z of p_0 z^n + p_1 z^(n-1) + ... + p_n (a polynomial in
// z^-1 written as one in z): leading zero coefficients dropped, trailing
// ones roots at 0; the rest by the Aberth-Ehrlich iteration in double
// precision.
std::vector<std::complex<double>> Roots(const std::vector<double>& p);

// The zeros and the poles of every section.
struct PoleZero {
  std::vector<std::complex<double>> zeros, poles;
};
PoleZero PolesAndZeros(const Cascade& cascade);

// Each distinct root once, with how many of the computed roots lie within
// tolerance (relative to its radius, at least 1) of it: a multiple root
// comes out of the iteration as a cluster of nearly equal roots.
struct MergedRoot {
  std::complex<double> z;
  int count;
  bool pole;
};
std::vector<MergedRoot> MergeRoots(const PoleZero& pz, double tolerance);

// The first `samples` samples of the cascade's response to a unit
// impulse, section after section by their difference equations.
std::vector<double> ImpulseResponse(const Cascade& cascade, int samples);
