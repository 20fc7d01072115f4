// Equiripple linear-phase FIR filters by the Parks-McClellan (Remez
// exchange) algorithm, the bands that a designer's filter types and
// tolerances make, estimates of the taps such a filter needs, the
// measurement of a tap set against its tolerances and the search for the
// fewest taps that meet them.
//
// Frequencies of the bands are fractions of the sampling frequency, from 0
// to 0.5; the functions that make bands take hertz. Everything is computed in
// double precision.
#pragma once

#include <vector>

#include "core/filter_type.h"

// A band of the desired response: from lower to upper (fractions of the
// sampling frequency, 0 <= lower <= upper <= 0.5), the gain wanted there
// (1 in a pass band, 0 in a stop band) and the weight of its error (> 0).
struct RemezBand {
  double lower;
  double upper;
  double gain;
  double weight;
};

enum class RemezStatus {
  kConverged,     // the extremal errors agree to a relative 1e-9, or to 1e-6 where rounding stops them short
  kIterationCap,  // kRemezIterationCap exchanges made without agreement: taps of the last one
  kStalled,       // two extremal frequencies met, or too few alternated: taps of the last set solved
  kOddOnly,       // an even count has a zero at half the rate, where a band wants gain: no taps
  kInvalid,       // fewer than 1 tap, no bands, a band outside 0 to 0.5 or overlapping, a weight <= 0: no taps
};

// The most exchanges a design makes.
constexpr int kRemezIterationCap = 100;

struct RemezResult {
  RemezStatus status = RemezStatus::kInvalid;
  std::vector<double> taps;  // h[0] to h[N - 1], h[n] = h[N - 1 - n]
  double delta = 0.0;        // the weighted error's largest magnitude, max over the bands of weight |gain - A|
  int iterations = 0;        // exchanges made (not those of the shorter design a long one starts from)
  double spread = 1.0;       // (largest - least) / largest of the extremal errors' magnitudes
  bool converged() const { return status == RemezStatus::kConverged; }
};

// The minimax (equiripple) design of `taps` symmetric taps, type I for an
// odd count, type II for an even one, over the bands, which come in
// increasing order and do not overlap (they may touch). A design whose
// deviation would be below some 1e-9 (far beyond 150 dB) is beyond double
// precision: the exchange then ends at the cap or stalls.
RemezResult RemezDesign(int taps, const std::vector<RemezBand>& bands);

// The deviations of a tolerance in dB: the pass band's ripple r, peak to
// peak, allows 1 +- dp with 20 log10((1 + dp) / (1 - dp)) = r; the stop
// band's least attenuation a allows ds = 10^(-a / 20).
double PassDeviation(double ripple_db);
double StopDeviation(double attenuation_db);

// A filter and its tolerances: the type's edges (edge2 for a band-pass or
// band-reject only), all in Hz, each the centre of a transition band of
// the given width; the pass band's ripple (dB, peak to peak) and the stop
// band's least attenuation (dB).
struct FilterTolerance {
  int type;             // kLowPass, kHighPass, kBandPass or kBandReject
  double fsamp;         // sampling frequency, Hz
  double edge1;         // Hz
  double edge2;         // Hz, the upper edge of a band-pass or band-reject
  double transition;    // Hz
  double ripple_db;     // pass band, peak to peak
  double attenuation_db;  // stop band, least
};

// The bands of the filter: a low-pass at 1100 Hz with a transition of
// 200 Hz passes from 0 to 1000 Hz and stops from 1200 Hz to half the
// sampling frequency. Pass bands have gain 1 and weight 1, stop bands gain
// 0 and weight dp / ds, so that the equiripple design's deviations keep
// the tolerances' ratio.
std::vector<RemezBand> LowPassBands(double edge, double fsamp, double transition, double ripple_db,
                                    double attenuation_db);
std::vector<RemezBand> HighPassBands(double edge, double fsamp, double transition, double ripple_db,
                                     double attenuation_db);
std::vector<RemezBand> BandPassBands(double edge1, double edge2, double fsamp, double transition, double ripple_db,
                                     double attenuation_db);
std::vector<RemezBand> BandRejectBands(double edge1, double edge2, double fsamp, double transition,
                                       double ripple_db, double attenuation_db);
// The bands of the filter's type, by the functions above.
std::vector<RemezBand> ToleranceBands(const FilterTolerance& filter);

// Herrmann's estimate of the taps of an equiripple low-pass with
// deviations dp and ds and a transition of width df (a fraction of the
// sampling frequency): D(dp, ds) / df - f(dp, ds) df + 1, rounded up. The
// filter's narrowest transition stands for a band-pass or band-reject.
int EquirippleTapEstimate(double dp, double ds, double df);
int EquirippleTapEstimate(const FilterTolerance& filter);

// Kaiser's estimate of the taps of a Kaiser-window design with a least
// attenuation (dB) over a transition of width df (a fraction of the
// sampling frequency): (attenuation - 7.95) / (14.36 df) + 1, rounded up.
int KaiserWindowTaps(double attenuation_db, double df);
// Kaiser's window shape (beta) for a least attenuation (dB):
// 0.1102 (a - 8.7) above 50 dB, 0.5842 (a - 21)^0.4 + 0.07886 (a - 21)
// from 21 to 50 dB, 0 below.
double KaiserBeta(double attenuation_db);

// A tap set measured on its bands (a dense grid of each): the pass bands'
// ripple, 20 log10(max |H| / min |H|) over all of them, and the stop
// bands' least attenuation, -20 log10(max |H|) over all of them.
struct BandMeasure {
  double ripple_db;
  double attenuation_db;
};
BandMeasure MeasureBands(const std::vector<double>& taps, const std::vector<RemezBand>& bands);
// Whether the measure is within the filter's tolerances.
bool MeetsTolerance(const BandMeasure& measure, const FilterTolerance& filter);

// The most taps the search designs.
constexpr int kMaxEquirippleTaps = 400;

// The fewest taps of a parity that meet a filter's tolerances.
struct FewestTaps {
  bool found = false;  // false: more than kMaxEquirippleTaps are needed, or the parity cannot make the type
  int taps = 0;        // found: the fewest count; else the estimate (0 for an impossible parity)
  int estimate = 0;    // Herrmann's estimate (EquirippleTapEstimate)
  RemezResult design;  // found: the design of that count
  BandMeasure measure{};  // found: its measure
};

// Starts from the estimate, rounded up to the parity (odd: type I, even:
// type II, which cannot make a high-pass or band-reject), and steps by two
// to the fewest count that meets the tolerances as MeasureBands measures
// them, so that two fewer does not; designs no more than
// kMaxEquirippleTaps taps.
FewestTaps FewestEquirippleTaps(const FilterTolerance& filter, bool odd = true);
