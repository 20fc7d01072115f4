// The designs that pelmora accepts, written once: the configure-time
// check compiles them (cmake/DesignParameters.cmake), the live tuner holds
// every change inside them, and the tests sweep them.
//
// Each limit is a predicate on the single-precision values that the chain
// computes with, the configure variable it bounds, and what is allowed, in
// the words of the refusal. A design is accepted when every limit holds.
#pragma once

#include "iir/pelmora_design.h"
#include "core/design_limit.h"
#include "core/filter_type.h"
#include "core/state.h"

namespace pelmora_limits {

// 10^x for 0 <= x <= 3.1, by the power series of e^(x ln 10) in double.
constexpr double Power10(double x) {
  const double y = x * 2.302585092994046;
  double term = 1.0, sum = 1.0;
  for (int k = 1; k < 60; ++k) {
    term = term * (y / k);
    sum = sum + term;
  }
  return sum;
}

// How far a corner lies from the poles of its prototype:
// R = 10^(attenuation / (20 order)), about 1 at 3 dB, 31.6 at 60 dB of
// order 2, 1000 at 60 dB of order 1. The further, the fewer of the six
// decimals that the file keeps carry the design.
constexpr double Reach(const PelmoraDesign& d) {
  return Power10(static_cast<double>(d.attenuation_db) / (20.0 * d.order));
}

// Found by running the chain and reading its file back at the edges: the
// lowest corner, the narrowest band and the highest corner, as fractions
// of the sampling frequency, beyond which a design at reach R misses its
// attenuation by more than 0.1 dB, or turns unstable, as written. Entry
// [order - 1] of each.
constexpr double kLowPassLowest[2] = {70000.0, 650.0};       // Fsamp R / this
constexpr double kBandRejectLowest[2] = {90000.0, 900.0};    // Fsamp R / this
constexpr double kBandPassNarrowest = 70000.0;               // Fsamp R / this, order 1
constexpr double kHighPassHighest[2] = {1.4e-5, 1.5e-3};     // Fsamp (0.5 - this R)
constexpr double kBandRejectHighest[2] = {1.2e-5, 3.5e-3};   // Fsamp (0.5 - this R)

constexpr double Fraction(float f, const PelmoraDesign& d) {
  return static_cast<double>(f) / static_cast<double>(d.fsamp);
}

constexpr bool TypeKnown(const PelmoraDesign& d) { return IsType(d.type); }
constexpr bool OrderKnown(const PelmoraDesign& d) { return d.order == 1 || d.order == 2; }
constexpr bool FsampInRange(const PelmoraDesign& d) { return d.fsamp >= 1e-15f && d.fsamp <= 1e15f; }
constexpr bool AttenuationInRange(const PelmoraDesign& d) {
  return d.attenuation_db >= 1e-5f && d.attenuation_db <= 60.0f;
}
constexpr bool Fc1InRange(const PelmoraDesign& d) {
  return Fraction(d.fc1, d) >= 1.0 / 200.0 && Fraction(d.fc1, d) <= (IsBand(d.type) ? 0.485 : 0.49);
}
constexpr bool LowPassFc1(const PelmoraDesign& d) {
  return d.type != kLowPass || Fraction(d.fc1, d) >= Reach(d) / kLowPassLowest[d.order - 1];
}
constexpr bool BandRejectFc1(const PelmoraDesign& d) {
  return d.type != kBandReject || Fraction(d.fc1, d) >= Reach(d) / kBandRejectLowest[d.order - 1];
}
constexpr bool HighPassFc1(const PelmoraDesign& d) {
  return d.type != kHighPass || Fraction(d.fc1, d) <= 0.5 - kHighPassHighest[d.order - 1] * Reach(d);
}
constexpr bool Fc2InRange(const PelmoraDesign& d) {
  return IsBand(d.type) ? Fraction(d.fc2, d) - Fraction(d.fc1, d) >= 1.0 / 200.0 && Fraction(d.fc2, d) <= 0.49
                   : d.fc2 >= 0.0f && d.fc2 <= 1e38f;
}
constexpr bool BandPassFc2(const PelmoraDesign& d) {
  return d.type != kBandPass || d.order != 1 ||
         Fraction(d.fc2, d) - Fraction(d.fc1, d) >= Reach(d) / kBandPassNarrowest;
}
constexpr bool BandRejectFc2(const PelmoraDesign& d) {
  return d.type != kBandReject || Fraction(d.fc2, d) <= 0.5 - kBandRejectHighest[d.order - 1] * Reach(d);
}

}  // namespace pelmora_limits

#define PELMORA_REACH "(Hz), where R = 10^(PELMORA_ATTENUATION_DB / (20 PELMORA_ORDER))"

// LIMIT(predicate, variable, allowed) for each limit, in the order they are
// checked: a limit may assume that the ones before it hold.
#define PELMORA_LIMITS(LIMIT)                                                                                      \
  LIMIT(TypeKnown, "PELMORA_TYPE", "are low-pass, high-pass, band-pass, band-reject")                              \
  LIMIT(OrderKnown, "PELMORA_ORDER", "are 1 and 2")                                                                 \
  LIMIT(FsampInRange, "PELMORA_FSAMP", "are numbers from 1e-15 to 1e15 (Hz)")                                      \
  LIMIT(AttenuationInRange, "PELMORA_ATTENUATION_DB", "are numbers from 0.00001 to 60 (dB)")                       \
  LIMIT(Fc1InRange, "PELMORA_FC1",                                                                                  \
        "are numbers from PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP, for band types to 0.485 PELMORA_FSAMP (Hz)")  \
  LIMIT(LowPassFc1, "PELMORA_FC1",                                                                                  \
        "for a low-pass are numbers from PELMORA_FSAMP R / 70000 (order 1) or PELMORA_FSAMP R / 650 (order 2) up " \
        PELMORA_REACH)                                                                                              \
  LIMIT(BandRejectFc1, "PELMORA_FC1",                                                                               \
        "for a band-reject are numbers from PELMORA_FSAMP R / 90000 (order 1) or PELMORA_FSAMP R / 900 (order 2) " \
        "up " PELMORA_REACH)                                                                                        \
  LIMIT(HighPassFc1, "PELMORA_FC1",                                                                                 \
        "for a high-pass are numbers up to PELMORA_FSAMP (0.5 - 0.000014 R) (order 1) or "                         \
        "PELMORA_FSAMP (0.5 - 0.0015 R) (order 2) " PELMORA_REACH)                                                 \
  LIMIT(Fc2InRange, "PELMORA_FC2",                                                                                  \
        "for band types are numbers from PELMORA_FC1 + PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP, "                \
        "for the others, which do not use it, from 0 to 1e38 (Hz)")                                                 \
  LIMIT(BandPassFc2, "PELMORA_FC2",                                                                                 \
        "for a band-pass of order 1 are numbers from PELMORA_FC1 + PELMORA_FSAMP R / 70000 up " PELMORA_REACH)     \
  LIMIT(BandRejectFc2, "PELMORA_FC2",                                                                               \
        "for a band-reject are numbers up to PELMORA_FSAMP (0.5 - 0.000012 R) (order 1) or "                       \
        "PELMORA_FSAMP (0.5 - 0.0035 R) (order 2) " PELMORA_REACH)

using PelmoraLimit = DesignLimit<PelmoraDesign>;

#define PELMORA_LIMIT_ENTRY(predicate, variable, allowed) {pelmora_limits::predicate, variable, allowed},
constexpr PelmoraLimit kPelmoraLimits[] = {PELMORA_LIMITS(PELMORA_LIMIT_ENTRY)};
#undef PELMORA_LIMIT_ENTRY

// The first limit that the design breaks, or nullptr if it is accepted.
constexpr const PelmoraLimit* PelmoraRefusal(const PelmoraDesign& d) { return FirstBroken(kPelmoraLimits, d); }

constexpr bool PelmoraAccepts(const PelmoraDesign& d) { return PelmoraRefusal(d) == nullptr; }

// Compiled at configure time over the configured design: each limit that
// it breaks fails its assertion, whose message is "VARIABLE|allowed".
template <const PelmoraDesign& d>
struct PelmoraConfigurationCheck {
#define PELMORA_LIMIT_ASSERT(predicate, variable, allowed) \
  static_assert(pelmora_limits::predicate(d), variable "|" allowed);
  PELMORA_LIMITS(PELMORA_LIMIT_ASSERT)
#undef PELMORA_LIMIT_ASSERT
};

static_assert(PelmoraAccepts(kBuiltInPelmoraDesign), "the built-in design is accepted");
