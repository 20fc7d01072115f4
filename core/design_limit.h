// What the designers' limits share (iir/pelmora_limits.h,
// fir/tavrine_limits.h): a limit of a design, the search for the first
// limit that a design breaks, and the verdict that the configure-time
// check compiles.
#pragma once

#include <cstddef>

// Writes the value of a macro as a string literal, so that a bound's
// number is written once: in the constant that a predicate compares with,
// and, from the same macro, in the words of its refusal.
#define LIMIT_TEXT(x) LIMIT_TEXT_OF(x)
#define LIMIT_TEXT_OF(x) #x
// The same decimal as a float literal: exactly the value the configure
// makes of the same text.
#define LIMIT_FLOAT(x) LIMIT_FLOAT_OF(x)
#define LIMIT_FLOAT_OF(x) x##f

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

// The configure-time check compiles the configured design into an object
// that holds one verdict text, found by its marker: "VARIABLE|allowed" of
// the first limit broken, or nothing after the marker when the design is
// accepted. Being data, not a diagnostic, it reads the same whichever
// compiler wrote it, and nothing is run, so a cross build checks too.
#define DESIGN_VERDICT_MARKER "filter-suite design verdict:"
constexpr std::size_t kVerdictSize = 1024;

struct DesignVerdict {
  char text[kVerdictSize];
};

template <typename Design, std::size_t N>
constexpr DesignVerdict Verdict(const DesignLimit<Design> (&limits)[N], const Design& d) {
  DesignVerdict verdict{};
  std::size_t at = 0;
  auto append = [&verdict, &at](const char* text) {
    while (*text && at + 1 < kVerdictSize) verdict.text[at++] = *text++;
  };
  append(DESIGN_VERDICT_MARKER);
  if (const DesignLimit<Design>* broken = FirstBroken(limits, d)) {
    append(broken->variable);
    append("|");
    append(broken->allowed);
  }
  return verdict;
}
