// tavrine's equiripple method: the Remez exchange (fir/remez.h) on the
// bands of the type's edges, in double precision, its taps stored in
// single precision where the window chain leaves its own, so that the
// program plots and writes them as it does those.

#include <algorithm>
#include <string>

#include "fir/fir_design.h"
#include "fir/tavrine_design.h"

namespace {

// Stores the taps of a design of `count` (none: zeros) as the chain's tap
// state: every count as designed, no final zero tap.
void Store(const RemezResult& design, int count) {
  TapN = count;
  evenTap = 0;
  TapN_2 = TapN / 2;
  for (int i = 0; i < count; ++i) {
    hh[i] = design.taps.empty() ? 0.0f : static_cast<float>(design.taps[static_cast<size_t>(i)]);
  }
}

}  // namespace

TavrineMade MakeEquiripple(const TavrineDesign& design) {
  const FilterTolerance tolerance = TavrineTolerance(design);
  const std::vector<RemezBand> bands = TavrineBands(design);
  TavrineMade made;
  made.specified = true;
  const auto measure = [&](const RemezResult& result, int count) {
    Store(result, count);
    made.measure = MeasureBands(FileTaps(hh, TapN), bands);
    made.met = MeetsTolerance(made.measure, tolerance);
    made.taps = made.asked = count;
  };
  if (design.taps != kAutoTaps) {
    measure(RemezDesign(design.taps, bands), design.taps);
    return made;
  }

  // The fewest of each parity that the type allows, as the exchange's
  // double-precision taps measure; then, should the file's rounding take
  // it out of the requirement, the next counts of its parity.
  FewestTaps best = FewestEquirippleTaps(tolerance, true);
  if (design.type == kLowPass || design.type == kBandPass) {
    FewestTaps even = FewestEquirippleTaps(tolerance, false);
    if (even.found && (!best.found || even.taps < best.taps)) best = even;
  }
  made.searched = kMaxTaps;
  if (!best.found) {
    measure(RemezDesign(kMaxTaps - 1, bands), kMaxTaps - 1);
    made.found = false;
    return made;
  }
  measure(best.design, best.taps);
  for (int n = best.taps + 2; !made.met && n <= kMaxTaps; n += 2) measure(RemezDesign(n, bands), n);
  made.found = made.met;
  return made;
}

int TavrineTapsNeeded(const TavrineDesign& design, bool* estimated) {
  const FilterTolerance tolerance = TavrineTolerance(design);
  *estimated = design.method != kEquirippleMethod;
  if (*estimated) return KaiserWindowTaps(design.stopband_db, tolerance.transition / tolerance.fsamp) | 1;
  const std::vector<RemezBand> bands = TavrineBands(design);
  const auto meets = [&](int n) {
    const RemezResult result = RemezDesign(n, bands);
    return !result.taps.empty() && MeetsTolerance(MeasureBands(result.taps, bands), tolerance);
  };
  // From Herrmann's estimate, by twos, above the arrays' size.
  const auto fewest = [&](int parity) {
    int n = std::max(EquirippleTapEstimate(tolerance), kMaxTaps + 1);
    if (n % 2 != parity) ++n;
    if (meets(n)) {
      while (n - 2 > kMaxTaps && meets(n - 2)) n -= 2;
      return n;
    }
    for (n += 2; n <= kMostTapsNeeded; n += 2) {
      if (meets(n)) return n;
    }
    return 0;
  };
  int needed = fewest(1);
  if (design.type == kLowPass || design.type == kBandPass) {
    const int even = fewest(0);
    if (even > 0 && (needed == 0 || even < needed)) needed = even;
  }
  return needed;
}

std::string TavrineSearchVerdict(const TavrineDesign& design) {
  if (design.taps != kAutoTaps) return "";
  const TavrineMade made = MakeTavrineDesign(design);
  if (made.found) return "";
  bool estimated = made.estimated;
  const bool equiripple = design.method == kEquirippleMethod;
  const int needed = equiripple ? TavrineTapsNeeded(design, &estimated) : made.needed;
  const int most = equiripple ? kMostTapsNeeded : made.searched;
  return "TAVRINE_TAPS|is auto where the band requirement needs at most " + std::to_string(made.searched) +
         (equiripple ? " taps" : " taps (odd counts, no more than the frequency samples)") + "; this one needs " +
         (needed > 0 ? (estimated ? "about " : "") + std::to_string(needed) : "more than " + std::to_string(most)) +
         " taps";
}
