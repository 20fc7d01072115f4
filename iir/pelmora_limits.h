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
#define PELMORA_HIGHEST_ORDER 16
#define PELMORA_HIGHEST_BAND_ORDER 8
#define PELMORA_HIGHEST_CHAIN_ORDER 2  // the Butterworth chain's
#define PELMORA_LEAST_RIPPLE 0.001
#define PELMORA_MOST_RIPPLE 10
#define PELMORA_LEAST_STOPBAND 1
#define PELMORA_MOST_STOPBAND 150
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
constexpr bool FamilyKnown(const PelmoraDesign& d) { return d.family >= 0 && d.family < iirproto::kFamilyCount; }
constexpr bool OrderKnown(const PelmoraDesign& d) {
  return d.order == kAutoOrder || (d.order >= PELMORA_LOWEST_ORDER && d.order <= MostOrder(d.type));
}
constexpr bool AutoOrder(const PelmoraDesign& d) { return d.order == kAutoOrder; }
constexpr bool UsesAttenuation(const PelmoraDesign& d) {
  return d.order != kAutoOrder && d.family == iirproto::kButterworth;
}
constexpr bool UsesRipple(const PelmoraDesign& d) {
  return d.order == kAutoOrder || d.family == iirproto::kChebyshev1 || d.family == iirproto::kElliptic;
}
constexpr bool UsesStopband(const PelmoraDesign& d) {
  return d.order == kAutoOrder || d.family == iirproto::kChebyshev2 || d.family == iirproto::kElliptic;
}
constexpr bool RippleInRange(const PelmoraDesign& d) {
  return d.ripple_db >= LIMIT_FLOAT(PELMORA_LEAST_RIPPLE) && d.ripple_db <= PELMORA_MOST_RIPPLE;
}
constexpr bool StopbandInRange(const PelmoraDesign& d) {
  return d.stopband_db >= PELMORA_LEAST_STOPBAND && d.stopband_db <= PELMORA_MOST_STOPBAND &&
         (!UsesRipple(d) || !UsesStopband(d) || d.stopband_db > d.ripple_db);
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
  return !IsButterworthChain(d) || d.type != kLowPass || Fraction(d.fc1, d) >= Reach(d) / kLowPassLowest[d.order - 1];
}
constexpr bool BandRejectFc1(const PelmoraDesign& d) {
  return !IsButterworthChain(d) || d.type != kBandReject || Fraction(d.fc1, d) >= Reach(d) / kBandRejectLowest[d.order - 1];
}
constexpr bool HighPassFc1(const PelmoraDesign& d) {
  return !IsButterworthChain(d) || d.type != kHighPass || Fraction(d.fc1, d) <= 0.5 - kHighPassHighest[d.order - 1] * Reach(d);
}
constexpr bool Fc2InRange(const PelmoraDesign& d) {
  return IsBand(d.type) ? Fraction(d.fc2, d) - Fraction(d.fc1, d) >= 1.0 / PELMORA_CORNER_STEP &&
                              Fraction(d.fc2, d) <= PELMORA_HIGHEST_CORNER
                        : d.fc2 >= 0.0f && d.fc2 <= LIMIT_FLOAT(PELMORA_UNUSED_MOST);
}
constexpr bool BandPassFc2(const PelmoraDesign& d) {
  return !IsButterworthChain(d) || d.type != kBandPass || d.order != 1 ||
         Fraction(d.fc2, d) - Fraction(d.fc1, d) >= Reach(d) / kBandPassNarrowest;
}
constexpr bool BandRejectFc2(const PelmoraDesign& d) {
  return !IsButterworthChain(d) || d.type != kBandReject || Fraction(d.fc2, d) <= 0.5 - kBandRejectHighest[d.order - 1] * Reach(d);
}

// The stop band's edges of a band requirement: beyond the pass band's
// (inside a band-reject's), short of 0 Hz and half the rate.
constexpr bool Stop1InRange(const PelmoraDesign& d) {
  if (d.order != kAutoOrder) return d.stop1 >= 0.0f && d.stop1 <= LIMIT_FLOAT(PELMORA_UNUSED_MOST);
  const double s = Fraction(d.stop1, d), f1 = Fraction(d.fc1, d), f2 = Fraction(d.fc2, d);
  switch (d.type) {
    case kLowPass:
      return s > f1 && s < 0.5;
    case kBandReject:
      return s > f1 && s < f2;
    default:
      return s > 0.0 && s < f1;
  }
}
constexpr bool Stop2InRange(const PelmoraDesign& d) {
  if (d.order != kAutoOrder || !IsBand(d.type)) return d.stop2 >= 0.0f && d.stop2 <= LIMIT_FLOAT(PELMORA_UNUSED_MOST);
  const double s = Fraction(d.stop2, d), f2 = Fraction(d.fc2, d);
  return d.type == kBandPass ? s > f2 && s < 0.5 : s > Fraction(d.stop1, d) && s < f2;
}

// The band requirement's order within the type's highest.
constexpr bool OrderFound(const PelmoraDesign& d) {
  return d.order != kAutoOrder || FamilySections(d).count > 0;
}
constexpr void OrderNeeded(const PelmoraDesign& d, LimitText& t) {
  t.Append("; this one needs order ").Number(FamilySections(d).order, 0);
}

// A family design as its file keeps it (iir/family_design.h).
constexpr bool FileSound(const PelmoraDesign& d) {
  return IsButterworthChain(d) || iirfamily::CheckFile(FamilySections(d), RequestOf(d)).Sound();
}
constexpr void FileFault(const PelmoraDesign& d, LimitText& t) {
  const iirfamily::FileCheck check = iirfamily::CheckFile(FamilySections(d), RequestOf(d));
  if (!check.stable) {
    t.Append("; with six decimals this design's file is unstable");
  } else {
    t.Append("; with six decimals this design's file is ").Number(check.worst_db, 2).Append(" dB off at ");
    t.Number(check.at_hz, 1).Append(" Hz");
  }
}

}  // namespace pelmora_limits

#define PELMORA_REACH "(Hz), where R = 10^(PELMORA_ATTENUATION_DB / (20 PELMORA_ORDER)) (Butterworth of order 1 or 2)"
#define PELMORA_TEXT(bound) LIMIT_TEXT(PELMORA_##bound)

using PelmoraLimit = DesignLimit<PelmoraDesign>;

// The limits, in the order they are checked: a limit may assume that the
// ones before it hold.
constexpr PelmoraLimit kPelmoraLimits[] = {
    {pelmora_limits::TypeKnown, "PELMORA_TYPE", "are " FILTER_TYPE_WORDS},
    {pelmora_limits::FamilyKnown, "PELMORA_FAMILY", "are " PELMORA_FAMILY_WORDS},
    {pelmora_limits::OrderKnown, "PELMORA_ORDER",
     "are " PELMORA_TEXT(LOWEST_ORDER) " to " PELMORA_TEXT(HIGHEST_ORDER) " for low- and high-pass, "
     PELMORA_TEXT(LOWEST_ORDER) " to " PELMORA_TEXT(HIGHEST_BAND_ORDER) " for band types, or auto"},
    {pelmora_limits::FsampInRange, "PELMORA_FSAMP",
     "are numbers from " PELMORA_TEXT(LOWEST_FSAMP) " to " PELMORA_TEXT(HIGHEST_FSAMP) " (Hz)"},
    {pelmora_limits::AttenuationInRange, "PELMORA_ATTENUATION_DB",
     "are numbers from " PELMORA_TEXT(LEAST_ATTENUATION) " to " PELMORA_TEXT(MOST_ATTENUATION) " (dB)"},
    {pelmora_limits::RippleInRange, "PELMORA_RIPPLE_DB",
     "are numbers from " PELMORA_TEXT(LEAST_RIPPLE) " to " PELMORA_TEXT(MOST_RIPPLE) " (dB)"},
    {pelmora_limits::StopbandInRange, "PELMORA_STOPBAND_DB",
     "are numbers from " PELMORA_TEXT(LEAST_STOPBAND) " to " PELMORA_TEXT(MOST_STOPBAND)
     " (dB), above PELMORA_RIPPLE_DB where both are used"},
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
    {pelmora_limits::Stop1InRange, "PELMORA_STOP1",
     "with PELMORA_ORDER = auto are numbers between PELMORA_FC1 and PELMORA_FSAMP / 2 for a low-pass, between 0 and "
     "PELMORA_FC1 for high- and band-pass, between PELMORA_FC1 and PELMORA_FC2 for a band-reject; otherwise, unused, "
     "from 0 to " PELMORA_TEXT(UNUSED_MOST) " (Hz)"},
    {pelmora_limits::Stop2InRange, "PELMORA_STOP2",
     "with PELMORA_ORDER = auto are numbers between PELMORA_FC2 and PELMORA_FSAMP / 2 for a band-pass, between "
     "PELMORA_STOP1 and PELMORA_FC2 for a band-reject; otherwise, unused, from 0 to " PELMORA_TEXT(UNUSED_MOST) " (Hz)"},
    {pelmora_limits::OrderFound, "PELMORA_ORDER",
     "is auto where the band requirement needs at most order " PELMORA_TEXT(HIGHEST_ORDER)
     " (low- and high-pass) or " PELMORA_TEXT(HIGHEST_BAND_ORDER) " (band types)", pelmora_limits::OrderNeeded,
     true},
    {pelmora_limits::FileSound, "PELMORA_ORDER",
     "are orders whose design coeff1.txt keeps sound: stable, and within 0.5 dB of the design wherever it is above "
     "-40 dB", pelmora_limits::FileFault, true},
};

// The first limit that the design breaks, or nullptr if it is accepted.
constexpr const PelmoraLimit* PelmoraRefusal(const PelmoraDesign& d) { return FirstBroken(kPelmoraLimits, d); }

constexpr bool PelmoraAccepts(const PelmoraDesign& d) { return PelmoraRefusal(d) == nullptr; }

static_assert(PelmoraAccepts(kBuiltInPelmoraDesign), "the built-in design is accepted");
