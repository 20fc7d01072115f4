// What the designers' limits share (iir/pelmora_limits.h,
// fir/tavrine_limits.h): a limit of a design, and the search for the first
// limit that a design breaks.
#pragma once

#include <cstddef>

// A predicate on a design, the configure variable it bounds, and what is
// allowed, in the words of the refusal.
template <typename Design>
struct DesignLimit {
  bool (*holds)(const Design&);
  const char* variable;
  const char* allowed;
};

// The first of the limits that the design breaks, or nullptr if it is
// accepted.
template <typename Design, std::size_t N>
constexpr const DesignLimit<Design>* FirstBroken(const DesignLimit<Design> (&limits)[N], const Design& d) {
  for (const DesignLimit<Design>& limit : limits) {
    if (!limit.holds(d)) return &limit;
  }
  return nullptr;
}
