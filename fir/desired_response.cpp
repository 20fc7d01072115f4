// Desired-response sampling: a brick-wall response at FresN equally spaced
// bins over one period of the sampling frequency, bin k at k Fsamp / FresN.
//
// Two edge bins k1 <= k2 and three levels (outer, middle, centre) fill
// five half-open ranges, mirrored about (FresN - 1) / 2:
//   [0, k1) outer, [k1, k2) middle, [k2, N - k2) centre,
//   [N - k2, N - k1) middle, [N - k1, N) outer,
// each range by its own pass. Every sample is real.

#include <cmath>

#include "core/filter_type.h"
#include "core/numeric.h"
#include "core/state.h"
#include "fir/fir_design.h"

int FresN;
float lpf_fc1, hpf_fc1, bpf_fc1, bpf_fc2, brf_fc1, brf_fc2;
int FilType;
float FresR[kMaxBins], FresI[kMaxBins];

namespace {

// Bin of an edge frequency f (Hz): (N f) / Fsamp in single precision (the
// product rounded, then the quotient), truncated toward zero. No rounding
// to nearest: 36.28 gives 36.
int EdgeBin(float f) { return static_cast<int>((static_cast<float>(FresN) * f) / Fsamp); }

void Fill(int begin, int end, float level) {
  for (int i = begin; i < end; ++i) FresR[i] = level;
}

}  // namespace

void PutParam() {
  // -200 dB as a linear amplitude: 10^(-200 / 20) in double from the
  // single-precision level, rounded once to 1e-10f (0x2EDBE6FF).
  const float stop_db = -200.0f;
  const float stop = static_cast<float>(std::pow(10.0, Widen(stop_db) / 20.0));
  const float pass = 1.0f;

  int k1 = 0, k2 = 0;
  float outer = stop, middle = stop, centre = stop;
  switch (FilType) {
    case kLowPass:
      k1 = k2 = EdgeBin(lpf_fc1);
      outer = pass;
      break;
    case kHighPass:
      k1 = k2 = EdgeBin(hpf_fc1);
      middle = centre = pass;
      break;
    case kBandPass:
      k1 = EdgeBin(bpf_fc1);
      k2 = EdgeBin(bpf_fc2);
      middle = pass;
      break;
    case kBandReject:
      k1 = EdgeBin(brf_fc1);
      k2 = EdgeBin(brf_fc2);
      outer = centre = pass;
      break;
  }

  Fill(0, k1, outer);
  Fill(k1, k2, middle);
  Fill(k2, FresN - k2, centre);
  Fill(FresN - k2, FresN - k1, middle);
  Fill(FresN - k1, FresN, outer);
  for (int i = 0; i < FresN; ++i) FresI[i] = 0.0f;
}
