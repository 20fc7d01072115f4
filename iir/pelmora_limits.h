// The designs that pelmora accepts, written once: the configure-time
// check compiles them (cmake/DesignParameters.cmake), the live tuner holds
// every change inside them, and the tests sweep them.
//
// Each limit is a predicate on the single-precision values that the chain
// computes with, the configure variable it bounds, and what is allowed, in
// the words of the refusal. A design is accepted when every limit holds.
#pragma once

#include "iir/pelmora_design.h"
#include "plot/shared_state.h"

namespace pelmora_limits {

constexpr bool IsBand(const PelmoraDesign& d) { return d.type == kBandPass || d.type == kBandReject; }

constexpr bool TypeKnown(const PelmoraDesign& d) { return d.type >= kLowPass && d.type <= kBandReject; }
constexpr bool OrderKnown(const PelmoraDesign& d) { return d.order == 1 || d.order == 2; }
constexpr bool FsampInRange(const PelmoraDesign& d) { return d.fsamp >= 1e-15f && d.fsamp <= 1e15f; }
constexpr bool AttenuationInRange(const PelmoraDesign& d) {
  return d.attenuation_db >= 1e-6f && d.attenuation_db <= 60.0f;
}
constexpr bool Fc1InRange(const PelmoraDesign& d) {
  return d.fc1 >= d.fsamp / 200.0f && d.fc1 <= (IsBand(d) ? 0.485f : 0.49f) * d.fsamp;
}
constexpr bool Fc2InRange(const PelmoraDesign& d) {
  return IsBand(d) ? d.fc2 >= d.fc1 + d.fsamp / 200.0f && d.fc2 <= 0.49f * d.fsamp
                   : d.fc2 >= 0.0f && d.fc2 <= 1e38f;
}

}  // namespace pelmora_limits

// LIMIT(predicate, variable, allowed) for each limit, in the order they are
// checked: a limit may assume that the ones before it hold.
#define PELMORA_LIMITS(LIMIT)                                                                              \
  LIMIT(TypeKnown, "PELMORA_TYPE", "are low-pass, high-pass, band-pass, band-reject")                      \
  LIMIT(OrderKnown, "PELMORA_ORDER", "are 1 and 2")                                                         \
  LIMIT(FsampInRange, "PELMORA_FSAMP", "are numbers from 1e-15 to 1e15 (Hz)")                              \
  LIMIT(AttenuationInRange, "PELMORA_ATTENUATION_DB", "are numbers from 0.000001 to 60 (dB)")              \
  LIMIT(Fc1InRange, "PELMORA_FC1",                                                                          \
        "are numbers from PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP (0.485 PELMORA_FSAMP for band types) (Hz)") \
  LIMIT(Fc2InRange, "PELMORA_FC2",                                                                          \
        "are numbers from PELMORA_FC1 + PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP for band types (Hz)")

struct PelmoraLimit {
  bool (*holds)(const PelmoraDesign&);
  const char* variable;
  const char* allowed;
};

#define PELMORA_LIMIT_ENTRY(predicate, variable, allowed) {pelmora_limits::predicate, variable, allowed},
constexpr PelmoraLimit kPelmoraLimits[] = {PELMORA_LIMITS(PELMORA_LIMIT_ENTRY)};
#undef PELMORA_LIMIT_ENTRY

// The first limit that the design breaks, or nullptr if it is accepted.
constexpr const PelmoraLimit* PelmoraRefusal(const PelmoraDesign& d) {
  for (const PelmoraLimit& limit : kPelmoraLimits) {
    if (!limit.holds(d)) return &limit;
  }
  return nullptr;
}

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
