// The designs that pelmora accepts, written once: the configure-time
// check compiles them (cmake/DesignParameters.cmake), the live tuner holds
// every change inside them, and the tests sweep them.
//
// Each limit is a predicate on the single-precision values that the chain
// computes with, the configure variable it bounds, and what is allowed, in
// the words of the refusal. A design is accepted when every limit holds.
#pragma once

#include "core/design_limit.h"
#include "core/filter_type.h"
#include "core/state.h"
#include "iir/pelmora_design.h"

// The bounds, each written once: the predicates below compare with them,
// and the refusals' words take their numbers from the same macros.
#define PELMORA_LOWEST_ORDER 1
#define PELMORA_HIGHEST_ORDER 2
#define PELMORA_LOWEST_FSAMP 1e-15
#define PELMORA_HIGHEST_FSAMP 1e15
#define PELMORA_LEAST_ATTENUATION 0.00001
#define PELMORA_MOST_ATTENUATION 60
#define PELMORA_CORNER_STEP 200  // corners at least Fsamp / this from 0 and apart
#define PELMORA_HIGHEST_CORNER 0.49
#define PELMORA_HIGHEST_BAND_FC1 0.485
#define PELMORA_UNUSED_MOST 1e38
// Found by running the chain and reading its file back at the edges: the
// lowest corner, the narrowest band and the highest corner, as fractions
// of the sampling frequency, beyond which a design at reach R misses its
// attenuation by more than 0.1 dB, or turns unstable, as written. By order.
#define PELMORA_LOW_PASS_LOWEST_1 70000  // Fsamp R / this
#define PELMORA_LOW_PASS_LOWEST_2 650
#define PELMORA_BAND_REJECT_LOWEST_1 90000  // Fsamp R / this
#define PELMORA_BAND_REJECT_LOWEST_2 900
#define PELMORA_BAND_PASS_NARROWEST_1 70000  // Fsamp R / this
#define PELMORA_HIGH_PASS_HIGHEST_1 0.000014  // Fsamp (0.5 - this R)
#define PELMORA_HIGH_PASS_HIGHEST_2 0.0015
#define PELMORA_BAND_REJECT_HIGHEST_1 0.000012  // Fsamp (0.5 - this R)
#define PELMORA_BAND_REJECT_HIGHEST_2 0.0035

// The highest attenuation that a design may ask, dB.
constexpr float kMostAttenuationDb = PELMORA_MOST_ATTENUATION;

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

// Entry [order - 1] of each.
constexpr double kLowPassLowest[2] = {PELMORA_LOW_PASS_LOWEST_1, PELMORA_LOW_PASS_LOWEST_2};
constexpr double kBandRejectLowest[2] = {PELMORA_BAND_REJECT_LOWEST_1, PELMORA_BAND_REJECT_LOWEST_2};
constexpr double kBandPassNarrowest = PELMORA_BAND_PASS_NARROWEST_1;
constexpr double kHighPassHighest[2] = {PELMORA_HIGH_PASS_HIGHEST_1, PELMORA_HIGH_PASS_HIGHEST_2};
constexpr double kBandRejectHighest[2] = {PELMORA_BAND_REJECT_HIGHEST_1, PELMORA_BAND_REJECT_HIGHEST_2};

constexpr double Fraction(float f, const PelmoraDesign& d) {
  return static_cast<double>(f) / static_cast<double>(d.fsamp);
}

constexpr bool TypeKnown(const PelmoraDesign& d) { return IsType(d.type); }
constexpr bool OrderKnown(const PelmoraDesign& d) {
  return d.order >= PELMORA_LOWEST_ORDER && d.order <= PELMORA_HIGHEST_ORDER;
}
constexpr bool FsampInRange(const PelmoraDesign& d) {
  return d.fsamp >= LIMIT_FLOAT(PELMORA_LOWEST_FSAMP) && d.fsamp <= LIMIT_FLOAT(PELMORA_HIGHEST_FSAMP);
}
constexpr bool AttenuationInRange(const PelmoraDesign& d) {
  return d.attenuation_db >= LIMIT_FLOAT(PELMORA_LEAST_ATTENUATION) && d.attenuation_db <= kMostAttenuationDb;
}
constexpr bool Fc1InRange(const PelmoraDesign& d) {
  return Fraction(d.fc1, d) >= 1.0 / PELMORA_CORNER_STEP &&
         Fraction(d.fc1, d) <= (IsBand(d.type) ? PELMORA_HIGHEST_BAND_FC1 : PELMORA_HIGHEST_CORNER);
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
  return IsBand(d.type) ? Fraction(d.fc2, d) - Fraction(d.fc1, d) >= 1.0 / PELMORA_CORNER_STEP &&
                              Fraction(d.fc2, d) <= PELMORA_HIGHEST_CORNER
                        : d.fc2 >= 0.0f && d.fc2 <= LIMIT_FLOAT(PELMORA_UNUSED_MOST);
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
#define PELMORA_TEXT(bound) LIMIT_TEXT(PELMORA_##bound)

using PelmoraLimit = DesignLimit<PelmoraDesign>;

// The limits, in the order they are checked: a limit may assume that the
// ones before it hold.
constexpr PelmoraLimit kPelmoraLimits[] = {
    {pelmora_limits::TypeKnown, "PELMORA_TYPE", "are " FILTER_TYPE_WORDS},
    {pelmora_limits::OrderKnown, "PELMORA_ORDER",
     "are " PELMORA_TEXT(LOWEST_ORDER) " and " PELMORA_TEXT(HIGHEST_ORDER)},
    {pelmora_limits::FsampInRange, "PELMORA_FSAMP",
     "are numbers from " PELMORA_TEXT(LOWEST_FSAMP) " to " PELMORA_TEXT(HIGHEST_FSAMP) " (Hz)"},
    {pelmora_limits::AttenuationInRange, "PELMORA_ATTENUATION_DB",
     "are numbers from " PELMORA_TEXT(LEAST_ATTENUATION) " to " PELMORA_TEXT(MOST_ATTENUATION) " (dB)"},
    {pelmora_limits::Fc1InRange, "PELMORA_FC1",
     "are numbers from PELMORA_FSAMP / " PELMORA_TEXT(CORNER_STEP) " to " PELMORA_TEXT(HIGHEST_CORNER)
     " PELMORA_FSAMP, for band types to " PELMORA_TEXT(HIGHEST_BAND_FC1) " PELMORA_FSAMP (Hz)"},
    {pelmora_limits::LowPassFc1, "PELMORA_FC1",
     "for a low-pass are numbers from PELMORA_FSAMP R / " PELMORA_TEXT(LOW_PASS_LOWEST_1)
     " (order 1) or PELMORA_FSAMP R / " PELMORA_TEXT(LOW_PASS_LOWEST_2) " (order 2) up " PELMORA_REACH},
    {pelmora_limits::BandRejectFc1, "PELMORA_FC1",
     "for a band-reject are numbers from PELMORA_FSAMP R / " PELMORA_TEXT(BAND_REJECT_LOWEST_1)
     " (order 1) or PELMORA_FSAMP R / " PELMORA_TEXT(BAND_REJECT_LOWEST_2) " (order 2) up " PELMORA_REACH},
    {pelmora_limits::HighPassFc1, "PELMORA_FC1",
     "for a high-pass are numbers up to PELMORA_FSAMP (0.5 - " PELMORA_TEXT(HIGH_PASS_HIGHEST_1)
     " R) (order 1) or PELMORA_FSAMP (0.5 - " PELMORA_TEXT(HIGH_PASS_HIGHEST_2) " R) (order 2) " PELMORA_REACH},
    {pelmora_limits::Fc2InRange, "PELMORA_FC2",
     "for band types are numbers from PELMORA_FC1 + PELMORA_FSAMP / " PELMORA_TEXT(CORNER_STEP)
     " to " PELMORA_TEXT(HIGHEST_CORNER) " PELMORA_FSAMP, for the others, which do not use it, from 0 to "
     PELMORA_TEXT(UNUSED_MOST) " (Hz)"},
    {pelmora_limits::BandPassFc2, "PELMORA_FC2",
     "for a band-pass of order 1 are numbers from PELMORA_FC1 + PELMORA_FSAMP R / "
     PELMORA_TEXT(BAND_PASS_NARROWEST_1) " up " PELMORA_REACH},
    {pelmora_limits::BandRejectFc2, "PELMORA_FC2",
     "for a band-reject are numbers up to PELMORA_FSAMP (0.5 - " PELMORA_TEXT(BAND_REJECT_HIGHEST_1)
     " R) (order 1) or PELMORA_FSAMP (0.5 - " PELMORA_TEXT(BAND_REJECT_HIGHEST_2) " R) (order 2) " PELMORA_REACH},
};

// The first limit that the design breaks, or nullptr if it is accepted.
constexpr const PelmoraLimit* PelmoraRefusal(const PelmoraDesign& d) { return FirstBroken(kPelmoraLimits, d); }

constexpr bool PelmoraAccepts(const PelmoraDesign& d) { return PelmoraRefusal(d) == nullptr; }

static_assert(PelmoraAccepts(kBuiltInPelmoraDesign), "the built-in design is accepted");
