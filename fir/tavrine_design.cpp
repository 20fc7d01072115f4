#include "fir/tavrine_design.h"

#include "core/number_text.h"
#include "core/state.h"
#include "fir/fir_design.h"

namespace {

// The window chain on the parameters assigned, with `taps` requested and
// the window's shape.
void RunWindowChain(int taps, float shape) {
  TapN = taps;
  AdjustTapCount();
  PutParam();
  DoIdft();
  Kaiser(TapN, shape);
}

}  // namespace

FilterTolerance TavrineTolerance(const TavrineDesign& d) {
  double edge1 = d.lpf_fc1, edge2 = 0.0;
  if (d.type == kHighPass) edge1 = d.hpf_fc1;
  if (d.type == kBandPass) edge1 = d.bpf_fc1, edge2 = d.bpf_fc2;
  if (d.type == kBandReject) edge1 = d.brf_fc1, edge2 = d.brf_fc2;
  return {d.type, d.fsamp, edge1, edge2, d.transition_hz, d.ripple_db, d.stopband_db};
}

std::vector<RemezBand> TavrineBands(const TavrineDesign& d) { return ToleranceBands(TavrineTolerance(d)); }

std::vector<double> FileTaps(const float* taps, int count) {
  std::vector<double> read(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    read[static_cast<size_t>(i)] = static_cast<float>(ParseValue(FormatNumber("%f", taps[i]).c_str()));
  }
  return read;
}

// The equiripple method (tavrine_equiripple.cpp), on the parameters assigned.
TavrineMade MakeEquiripple(const TavrineDesign& design);

TavrineMade MakeTavrineDesign(const TavrineDesign& design) {
  Fsamp = design.fsamp;
  gain_range = 100.0f;
  freq_range = 10000.0f;
  FresN = design.bins;
  lpf_fc1 = design.lpf_fc1;
  hpf_fc1 = design.hpf_fc1;
  bpf_fc1 = design.bpf_fc1;
  bpf_fc2 = design.bpf_fc2;
  brf_fc1 = design.brf_fc1;
  brf_fc2 = design.brf_fc2;
  alpha = design.alpha;
  FilType = design.type;
  TapN = design.taps;

  if (design.method == kEquirippleMethod) return MakeEquiripple(design);
  TavrineMade made;
  if (design.taps != kAutoTaps) {
    AdjustTapCount();
    PutParam();
    DoIdft();
    Kaiser(TapN, alpha);
    made.taps = TapN;
    made.asked = design.taps;
    return made;
  }

  // The fewest odd count that meets the requirement, from Kaiser's
  // estimate, with the shape of Kaiser's formula; at most what the arrays
  // and the frequency samples hold.
  const FilterTolerance tolerance = TavrineTolerance(design);
  const std::vector<RemezBand> bands = TavrineBands(design);
  alpha = static_cast<float>(KaiserBeta(design.stopband_db));
  int most = design.bins < kMaxTaps - 1 ? design.bins : kMaxTaps - 1;
  if (most % 2 == 0) --most;
  const auto meets = [&](int n, BandMeasure* measure) {
    RunWindowChain(n, alpha);
    *measure = MeasureBands(FileTaps(hh, TapN), bands);
    return MeetsTolerance(*measure, tolerance);
  };
  const int estimate = KaiserWindowTaps(design.stopband_db, tolerance.transition / tolerance.fsamp) | 1;
  int n = estimate < most ? estimate : most;
  BandMeasure measure;
  bool met = meets(n, &measure);
  if (met) {
    BandMeasure fewer;
    while (n - 2 >= 1 && meets(n - 2, &fewer)) n -= 2;
  } else {
    while (!met && n + 2 <= most) met = meets(n += 2, &measure);
  }
  made.specified = true;
  made.found = made.met = met;
  made.searched = most;
  if (!met) {
    n = most;
    made.estimated = estimate > most;
    made.needed = made.estimated ? estimate : 0;
  }
  meets(n, &measure);  // the state holds the count chosen, not the last one tried
  made.measure = measure;
  made.taps = TapN;
  made.asked = n;
  return made;
}
