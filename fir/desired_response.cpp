// Desired-response sampling: a brick-wall response at FresN equally spaced
// bins over one period of the sampling frequency, bin k at k Fsamp / FresN.
//
// Two edge bins k1 <= k2 and three levels (outer, middle, centre) fill
// five half-open ranges, mirrored about (FresN - 1) / 2:
//   [0, k1) outer, [k1, k2) middle, [k2, N - k2) centre,
//   [N - k2, N - k1) middle, [N - k1, N) outer,
// each range by its own pass, so that where ranges overlap (an edge at or
// above Fsamp / 2) the later pass stands. Every sample is real.
//
// Values outside the design range never reach outside the arrays: FresN is
// held to [0, kMaxBins] (UsedBins), every edge bin to [0, FresN] (a
// negative or not-a-number edge gives bin 0). A FilType outside 0 to 3
// gives an all-stop response, the same as a low-pass with its edge at 0 Hz:
// the result depends on nothing left from earlier calls, and a filter of
// unknown type passes nothing rather than passing a signal by mistake.

#include <algorithm>
#include <cmath>

#include "fir/fir_design.h"
#include "plot/shared_state.h"

int FresN;
float lpf_fc1, hpf_fc1, bpf_fc1, bpf_fc2, brf_fc1, brf_fc2;
int FilType;
float FresR[kMaxBins], FresI[kMaxBins];

namespace {

// Bin of an edge frequency f (Hz): (N f) / Fsamp in single precision (the
// product rounded, then the quotient), truncated toward zero. No rounding
// to nearest: 36.28 gives 36.
int EdgeBin(float f, int bins) {
  const float q = (static_cast<float>(bins) * f) / Fsamp;
  return std::isnan(q) ? 0 : static_cast<int>(std::clamp(q, 0.0f, static_cast<float>(bins)));
}

void Fill(int begin, int end, float level) {
  for (int i = begin; i < end; ++i) FresR[i] = level;
}

}  // namespace

void PutParam() {
  const int bins = UsedBins();
  // -200 dB as a linear amplitude: 10^(-200 / 20) in double from the
  // single-precision level, rounded once to 1e-10f (0x2EDBE6FF).
  const float stop_db = -200.0f;
  const float stop = static_cast<float>(std::pow(10.0, static_cast<double>(stop_db) / 20.0));
  const float pass = 1.0f;

  // An unknown type keeps these: every bin takes the stop level.
  int k1 = bins, k2 = bins;
  float outer = stop, middle = stop, centre = stop;
  switch (FilType) {
    case kLowPass:
      k1 = k2 = EdgeBin(lpf_fc1, bins);
      outer = pass;
      break;
    case kHighPass:
      k1 = k2 = EdgeBin(hpf_fc1, bins);
      middle = centre = pass;
      break;
    case kBandPass:
      k1 = EdgeBin(bpf_fc1, bins);
      k2 = EdgeBin(bpf_fc2, bins);
      middle = pass;
      break;
    case kBandReject:
      k1 = EdgeBin(brf_fc1, bins);
      k2 = EdgeBin(brf_fc2, bins);
      outer = centre = pass;
      break;
    default:
      break;
  }

  // With 0 <= k1, k2 <= bins every range lies within [0, bins).
  Fill(0, k1, outer);
  Fill(k1, k2, middle);
  Fill(k2, bins - k2, centre);
  Fill(bins - k2, bins - k1, middle);
  Fill(bins - k1, bins, outer);
  for (int i = 0; i < bins; ++i) FresI[i] = 0.0f;
}
