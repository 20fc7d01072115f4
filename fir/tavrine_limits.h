// The designs that tavrine accepts, written once: the configure-time
// check compiles them (cmake/DesignParameters.cmake), the live tuner holds
// every change inside them, and the tests sweep them.
//
// Each limit is a predicate on the single-precision values that the chain
// computes with, the configure variable it bounds, and what is allowed, in
// the words of the refusal. A design is accepted when every limit holds.
//
// An accepted design is sound: no more taps are designed than there are
// frequency samples, so the inverse DFT's period is not repeated within
// the taps (time aliasing), and every band of the chosen type holds at
// least one frequency sample.
#pragma once

#include "core/design_limit.h"
#include "core/filter_type.h"
#include "core/state.h"
#include "fir/fir_design.h"
#include "fir/taps.h"
#include "fir/tavrine_design.h"

// The bounds, each written once: the predicates below compare with them,
// and the refusals' words take their numbers from the same macros.
#define TAVRINE_LOWEST_FSAMP 1e-35
#define TAVRINE_HIGHEST_FSAMP 1e36
#define TAVRINE_MOST_ALPHA 91.9  // I0(alpha) of the Kaiser window overflows above
#define TAVRINE_UNUSED_MOST 1e38
#define TAVRINE_MOST_COUNT 400  // taps and frequency samples: the arrays' size
// The band requirement's ripple and attenuation (dB).
#define TAVRINE_LEAST_RIPPLE 0.001
#define TAVRINE_MOST_RIPPLE 10
#define TAVRINE_LEAST_STOPBAND 10
#define TAVRINE_MOST_STOPBAND 150
#define TAVRINE_TRANSITION_STEP 10000  // transitions at least TAVRINE_FSAMP / this
static_assert(TAVRINE_MOST_COUNT == kMaxTaps && TAVRINE_MOST_COUNT == kMaxBins, "the arrays hold the most");

namespace tavrine_limits {

constexpr bool TypeKnown(const TavrineDesign& d) { return IsType(d.type); }
constexpr bool FsampInRange(const TavrineDesign& d) {
  return d.fsamp >= LIMIT_FLOAT(TAVRINE_LOWEST_FSAMP) && d.fsamp <= LIMIT_FLOAT(TAVRINE_HIGHEST_FSAMP);
}
constexpr bool MethodKnown(const TavrineDesign& d) {
  return d.method == kWindowMethod || d.method == kEquirippleMethod;
}
constexpr bool BinsInRange(const TavrineDesign& d) { return d.bins >= 1 && d.bins <= kMaxBins; }
// The window's designed count is the requested one made odd (an even
// count less one); the equiripple method designs the count asked.
constexpr bool TapsInRange(const TavrineDesign& d) {
  return d.taps == kAutoTaps ||
         (d.taps >= 1 && d.taps <= kMaxTaps && (d.method == kEquirippleMethod || DesignedTapCount(d.taps) <= d.bins));
}
// An even count of symmetric taps has a zero at half the rate, where a
// high-pass and a band-reject pass: the equiripple method says so rather
// than design one fewer.
constexpr bool TapsOddWhereNeeded(const TavrineDesign& d) {
  return d.method != kEquirippleMethod || d.taps % 2 == 1 || d.taps == kAutoTaps ||
         (d.type != kHighPass && d.type != kBandReject);
}
constexpr bool UsesRequirement(const TavrineDesign& d) { return HasRequirement(d); }
constexpr bool UsesAlpha(const TavrineDesign& d) { return !HasRequirement(d); }
constexpr bool AlphaInRange(const TavrineDesign& d) {
  return d.alpha >= 0.0f && d.alpha <= LIMIT_FLOAT(TAVRINE_MOST_ALPHA);
}

// The frequency sample of an edge, as the desired response finds it:
// (N f) / Fsamp in single precision, rounded down.
constexpr int Sample(const TavrineDesign& d, float f) {
  return static_cast<int>((static_cast<float>(d.bins) * f) / d.fsamp);
}
// An edge that the type uses: inside 0 < f < Fsamp / 2, and above the
// type's lower edge (or 0). For the window, on a sample from the one
// after the lower edge's (or 1) to (N - 1) / 2, so that the band below it
// and the one above it (up to Fsamp / 2) each hold a sample; the exchange
// takes any frequency (its transition bands are bounded below).
constexpr bool EdgeHolds(const TavrineDesign& d, float f, float lower) {
  if (d.method == kEquirippleMethod) return f > lower && f < d.fsamp / 2.0f;
  return f > 0.0f && f < d.fsamp / 2.0f && Sample(d, f) >= (lower > 0.0f ? Sample(d, lower) + 1 : 1) &&
         Sample(d, f) <= (d.bins - 1) / 2;
}
// Whether the limit of an edge, by its method's rule, is the window's.
constexpr bool ByWindow(const TavrineDesign& d) { return d.method != kEquirippleMethod; }
// The frequency samples are the window's only.
constexpr bool UsesBins(const TavrineDesign& d) { return d.method != kEquirippleMethod; }
// An edge that the type does not use is still assigned: a finite number.
constexpr bool Unused(float f) { return f >= 0.0f && f <= LIMIT_FLOAT(TAVRINE_UNUSED_MOST); }

constexpr bool LpfFc1Unused(const TavrineDesign& d) { return d.type == kLowPass || Unused(d.lpf_fc1); }
constexpr bool HpfFc1Unused(const TavrineDesign& d) { return d.type == kHighPass || Unused(d.hpf_fc1); }
constexpr bool BpfFc1Unused(const TavrineDesign& d) { return d.type == kBandPass || Unused(d.bpf_fc1); }
constexpr bool BpfFc2Unused(const TavrineDesign& d) { return d.type == kBandPass || Unused(d.bpf_fc2); }
constexpr bool BrfFc1Unused(const TavrineDesign& d) { return d.type == kBandReject || Unused(d.brf_fc1); }
constexpr bool BrfFc2Unused(const TavrineDesign& d) { return d.type == kBandReject || Unused(d.brf_fc2); }
// Each used edge by the window's rule, then by the exchange's.
constexpr bool LpfFc1InRange(const TavrineDesign& d) {
  return d.type != kLowPass || !ByWindow(d) || EdgeHolds(d, d.lpf_fc1, 0.0f);
}
constexpr bool LpfFc1ByEquiripple(const TavrineDesign& d) {
  return d.type != kLowPass || ByWindow(d) || EdgeHolds(d, d.lpf_fc1, 0.0f);
}
constexpr bool HpfFc1InRange(const TavrineDesign& d) {
  return d.type != kHighPass || !ByWindow(d) || EdgeHolds(d, d.hpf_fc1, 0.0f);
}
constexpr bool HpfFc1ByEquiripple(const TavrineDesign& d) {
  return d.type != kHighPass || ByWindow(d) || EdgeHolds(d, d.hpf_fc1, 0.0f);
}
constexpr bool BpfFc1InRange(const TavrineDesign& d) {
  return d.type != kBandPass || !ByWindow(d) || EdgeHolds(d, d.bpf_fc1, 0.0f);
}
constexpr bool BpfFc1ByEquiripple(const TavrineDesign& d) {
  return d.type != kBandPass || ByWindow(d) || EdgeHolds(d, d.bpf_fc1, 0.0f);
}
constexpr bool BrfFc1InRange(const TavrineDesign& d) {
  return d.type != kBandReject || !ByWindow(d) || EdgeHolds(d, d.brf_fc1, 0.0f);
}
constexpr bool BrfFc1ByEquiripple(const TavrineDesign& d) {
  return d.type != kBandReject || ByWindow(d) || EdgeHolds(d, d.brf_fc1, 0.0f);
}
constexpr bool BpfFc2InRange(const TavrineDesign& d) {
  return d.type != kBandPass || !ByWindow(d) || EdgeHolds(d, d.bpf_fc2, d.bpf_fc1);
}
constexpr bool BpfFc2ByEquiripple(const TavrineDesign& d) {
  return d.type != kBandPass || ByWindow(d) || EdgeHolds(d, d.bpf_fc2, d.bpf_fc1);
}
constexpr bool BrfFc2InRange(const TavrineDesign& d) {
  return d.type != kBandReject || !ByWindow(d) || EdgeHolds(d, d.brf_fc2, d.brf_fc1);
}
constexpr bool BrfFc2ByEquiripple(const TavrineDesign& d) {
  return d.type != kBandReject || ByWindow(d) || EdgeHolds(d, d.brf_fc2, d.brf_fc1);
}

// The band requirement, where the design has one: a ripple and an
// attenuation in range, and transition bands (double precision) that
// leave every band of the type some width within 0 to Fsamp / 2.
constexpr bool RippleInRange(const TavrineDesign& d) {
  return !HasRequirement(d) ? Unused(d.ripple_db)
                              : d.ripple_db >= LIMIT_FLOAT(TAVRINE_LEAST_RIPPLE) &&
                                    d.ripple_db <= TAVRINE_MOST_RIPPLE;
}
constexpr bool StopbandInRange(const TavrineDesign& d) {
  return !HasRequirement(d) ? Unused(d.stopband_db)
                              : d.stopband_db >= TAVRINE_LEAST_STOPBAND &&
                                    d.stopband_db <= TAVRINE_MOST_STOPBAND;
}
constexpr bool TransitionFits(const TavrineDesign& d) {
  if (!HasRequirement(d)) return Unused(d.transition_hz);
  const double half = d.transition_hz / 2.0, top = d.fsamp / 2.0;
  double first = d.lpf_fc1, second = 0.0;
  if (d.type == kHighPass) first = d.hpf_fc1;
  if (d.type == kBandPass) first = d.bpf_fc1, second = d.bpf_fc2;
  if (d.type == kBandReject) first = d.brf_fc1, second = d.brf_fc2;
  const double last = IsBand(d.type) ? second : first;
  return d.transition_hz >= d.fsamp / TAVRINE_TRANSITION_STEP && first - half > 0.0 && last + half < top &&
         (!IsBand(d.type) || first + half < second - half);
}

}  // namespace tavrine_limits

#define TAVRINE_EDGE_WORDS \
  "above 0 and below TAVRINE_FSAMP / 2 whose sample, TAVRINE_BINS f / TAVRINE_FSAMP rounded down, is "
#define TAVRINE_UNUSED_WORDS \
  "are numbers from 0 to " LIMIT_TEXT(TAVRINE_UNUSED_MOST) " (Hz; not used by the type chosen)"

#define TAVRINE_EDGE_FIRST_WORDS "are numbers " TAVRINE_EDGE_WORDS "from 1 to (TAVRINE_BINS - 1) / 2 (Hz)"
#define TAVRINE_EDGE_ABOVE_WORDS(lower) \
  "are numbers " TAVRINE_EDGE_WORDS "from that of " lower " + 1 to (TAVRINE_BINS - 1) / 2 (Hz)"
#define TAVRINE_EQUIRIPPLE_FIRST_WORDS "by equiripple are numbers above 0 and below TAVRINE_FSAMP / 2 (Hz)"
#define TAVRINE_EQUIRIPPLE_ABOVE_WORDS(lower) \
  "by equiripple are numbers above " lower " and below TAVRINE_FSAMP / 2 (Hz)"

using TavrineLimit = DesignLimit<TavrineDesign>;

// The limits, in the order they are checked: a limit may assume that the
// ones before it hold.
constexpr TavrineLimit kTavrineLimits[] = {
    {tavrine_limits::TypeKnown, "TAVRINE_TYPE", "are " FILTER_TYPE_WORDS},
    {tavrine_limits::FsampInRange, "TAVRINE_FSAMP",
     "are numbers from " LIMIT_TEXT(TAVRINE_LOWEST_FSAMP) " to " LIMIT_TEXT(TAVRINE_HIGHEST_FSAMP) " (Hz)"},
    {tavrine_limits::MethodKnown, "TAVRINE_METHOD", "are window, equiripple"},
    {tavrine_limits::BinsInRange, "TAVRINE_BINS", "are whole numbers from 1 to " LIMIT_TEXT(TAVRINE_MOST_COUNT)},
    {tavrine_limits::TapsInRange, "TAVRINE_TAPS",
     "are whole numbers from 1 to " LIMIT_TEXT(
         TAVRINE_MOST_COUNT) " that design at most TAVRINE_BINS taps (an even count designs one fewer), or auto"},
    {tavrine_limits::TapsOddWhereNeeded, "TAVRINE_TAPS",
     "for an equiripple high-pass or band-reject are odd counts, or auto: an even count of symmetric taps has a zero "
     "at half the sampling frequency, where this type passes; it needs an odd count"},
    {tavrine_limits::AlphaInRange, "TAVRINE_ALPHA", "are numbers from 0 to " LIMIT_TEXT(TAVRINE_MOST_ALPHA)},
    {tavrine_limits::LpfFc1Unused, "TAVRINE_LPF_FC1", TAVRINE_UNUSED_WORDS},
    {tavrine_limits::HpfFc1Unused, "TAVRINE_HPF_FC1", TAVRINE_UNUSED_WORDS},
    {tavrine_limits::BpfFc1Unused, "TAVRINE_BPF_FC1", TAVRINE_UNUSED_WORDS},
    {tavrine_limits::BpfFc2Unused, "TAVRINE_BPF_FC2", TAVRINE_UNUSED_WORDS},
    {tavrine_limits::BrfFc1Unused, "TAVRINE_BRF_FC1", TAVRINE_UNUSED_WORDS},
    {tavrine_limits::BrfFc2Unused, "TAVRINE_BRF_FC2", TAVRINE_UNUSED_WORDS},
    {tavrine_limits::LpfFc1InRange, "TAVRINE_LPF_FC1", TAVRINE_EDGE_FIRST_WORDS},
    {tavrine_limits::HpfFc1InRange, "TAVRINE_HPF_FC1", TAVRINE_EDGE_FIRST_WORDS},
    {tavrine_limits::BpfFc1InRange, "TAVRINE_BPF_FC1", TAVRINE_EDGE_FIRST_WORDS},
    {tavrine_limits::BpfFc2InRange, "TAVRINE_BPF_FC2", TAVRINE_EDGE_ABOVE_WORDS("TAVRINE_BPF_FC1")},
    {tavrine_limits::BrfFc1InRange, "TAVRINE_BRF_FC1", TAVRINE_EDGE_FIRST_WORDS},
    {tavrine_limits::BrfFc2InRange, "TAVRINE_BRF_FC2", TAVRINE_EDGE_ABOVE_WORDS("TAVRINE_BRF_FC1")},
    {tavrine_limits::LpfFc1ByEquiripple, "TAVRINE_LPF_FC1", TAVRINE_EQUIRIPPLE_FIRST_WORDS},
    {tavrine_limits::HpfFc1ByEquiripple, "TAVRINE_HPF_FC1", TAVRINE_EQUIRIPPLE_FIRST_WORDS},
    {tavrine_limits::BpfFc1ByEquiripple, "TAVRINE_BPF_FC1", TAVRINE_EQUIRIPPLE_FIRST_WORDS},
    {tavrine_limits::BpfFc2ByEquiripple, "TAVRINE_BPF_FC2", TAVRINE_EQUIRIPPLE_ABOVE_WORDS("TAVRINE_BPF_FC1")},
    {tavrine_limits::BrfFc1ByEquiripple, "TAVRINE_BRF_FC1", TAVRINE_EQUIRIPPLE_FIRST_WORDS},
    {tavrine_limits::BrfFc2ByEquiripple, "TAVRINE_BRF_FC2", TAVRINE_EQUIRIPPLE_ABOVE_WORDS("TAVRINE_BRF_FC1")},
    {tavrine_limits::RippleInRange, "TAVRINE_RIPPLE_DB",
     "are numbers from " LIMIT_TEXT(TAVRINE_LEAST_RIPPLE) " to " LIMIT_TEXT(
         TAVRINE_MOST_RIPPLE) " (dB) with TAVRINE_METHOD = equiripple or TAVRINE_TAPS = auto; otherwise, unused, "
                              "from 0 to " LIMIT_TEXT(TAVRINE_UNUSED_MOST)},
    {tavrine_limits::StopbandInRange, "TAVRINE_STOPBAND_DB",
     "are numbers from " LIMIT_TEXT(TAVRINE_LEAST_STOPBAND) " to " LIMIT_TEXT(
         TAVRINE_MOST_STOPBAND) " (dB) with TAVRINE_METHOD = equiripple or TAVRINE_TAPS = auto; otherwise, unused, "
                                "from 0 to " LIMIT_TEXT(TAVRINE_UNUSED_MOST)},
    {tavrine_limits::TransitionFits, "TAVRINE_TRANSITION_HZ",
     "with TAVRINE_METHOD = equiripple or TAVRINE_TAPS = auto are numbers from TAVRINE_FSAMP / "
     LIMIT_TEXT(TAVRINE_TRANSITION_STEP) " (Hz) whose transition bands, "
     "centred on the type's edges, fall between 0 and TAVRINE_FSAMP / 2 and apart; otherwise, unused, from 0 to "
     LIMIT_TEXT(TAVRINE_UNUSED_MOST)},
};

// The first limit that the design breaks, or nullptr if it is accepted.
constexpr const TavrineLimit* TavrineRefusal(const TavrineDesign& d) { return FirstBroken(kTavrineLimits, d); }

constexpr bool TavrineAccepts(const TavrineDesign& d) { return TavrineRefusal(d) == nullptr; }

static_assert(TavrineAccepts(kBuiltInTavrineDesign), "the built-in design is accepted");
