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

constexpr std::size_t kVerdictSize = 1024;

// Text built where a compiler can build it: a limit's words that depend
// on the design (the order a requirement needs, the deviation of a
// file), the same at compile time and at run time.
struct LimitText {
  char text[kVerdictSize] = {};
  std::size_t size = 0;

  constexpr LimitText& Append(const char* more) {
    while (*more && size + 1 < kVerdictSize) text[size++] = *more++;
    return *this;
  }
  // value with `decimals` decimals (at most 9), rounded half away from
  // zero; a value beyond 10^15 in size is written as such.
  constexpr LimitText& Number(double value, int decimals) {
    if (value < 0.0) Append("-"), value = -value;
    if (!(value < 1e15)) return Append("1e15 or more");
    double scale = 1.0;
    for (int i = 0; i < decimals; ++i) scale = scale * 10.0;
    const unsigned long long whole = static_cast<unsigned long long>(value * scale + 0.5);
    char digits[32] = {};
    int n = 0;
    for (unsigned long long rest = whole; n == 0 || rest > 0 || n <= decimals; rest /= 10) {
      if (n == decimals && decimals > 0) digits[n++] = '.';
      digits[n++] = static_cast<char>('0' + rest % 10);
    }
    while (n > 0) {
      const char one[2] = {digits[--n], 0};
      Append(one);
    }
    return *this;
  }
};

// A predicate on a design, the configure variable it bounds, and what is
// allowed, in the words of the refusal; for a limit whose words depend on
// the design, a function that adds them (why this design is refused); and
// whether the predicate makes the whole design to judge it (a check of its
// file), which a tuner leaves out of the ranges it shows, for speed, and
// applies to each value taken.
template <typename Design>
struct DesignLimit {
  bool (*holds)(const Design&);
  const char* variable;
  const char* allowed;
  void (*detail)(const Design&, LimitText&) = nullptr;
  bool whole = false;
};

// The words of a refusal: what is allowed, and why the design is not.
template <typename Design>
constexpr LimitText RefusalText(const DesignLimit<Design>& limit, const Design& d) {
  LimitText t;
  t.Append(limit.allowed);
  if (limit.detail) limit.detail(d, t);
  return t;
}

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
    append(RefusalText(*broken, d).text);
  }
  return verdict;
}
