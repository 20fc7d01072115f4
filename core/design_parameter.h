// What the designers' parameter tables share (iir/pelmora_parameter_table.h,
// fir/tavrine_parameter_table.h): a row per configure variable, from which
// the configure takes its default, help text and form
// (cmake/DesignParameters.cmake reads the rows as text), and the live
// tuners their fields, options line and option parsing (tune/table_tuner.h).
#pragma once

#include <cstddef>

#include "core/filter_type.h"

// The form of a value, as the configure takes it and the form shows it.
enum class ParameterKind {
  kType,    // a filter type by name (core/filter_type.h); a choice in the form
  kChoice,  // one of the row's words, by its place among them (from 0); a choice in the form
  kListed,  // a whole number from min to max, few enough to be a choice in the form
  kWhole,   // a whole number, held at its limits in the form
  kNumber,  // a decimal number, made single precision
};

// The filter types that use a variable, a bit per type code.
constexpr unsigned kAllTypes = 0xF;
constexpr unsigned TypeBit(int type) { return 1u << type; }

// Decimals of a field that are those of a frequency at the design's rate
// (FrequencyDecimals in tune/tuning.h).
constexpr int kRateDecimals = -1;

// One parameter. The configure reads the rows as text: the variable, the
// default, the help (one or several adjacent string literals), the kind
// and the words come first, in this order, and no row holds a brace.
template <typename Design>
struct DesignParameter {
  const char* variable;  // the configure variable: "PELMORA_FC1"
  const char* preset;    // its default, as the configure is given it: "2000"
  const char* help;      // the configure's help, after "designer: " (the names of a type or choice are added)
  ParameterKind kind;
  // A choice's names, space-separated, in the order of their values; for a
  // whole number, "" or the word that stands for 0 ("auto").
  const char* words;
  const char* unit;       // "Hz", "dB" or ""
  const char* label;      // the field's label: "lower corner"
  const char* alone;      // its label where the type has one corner or edge, or ""
  int Design::*whole;     // the design's value: a whole number (type, counts) ...
  float Design::*number;  // ... or a decimal one
  // The field's range: every value that some design accepts (the limits'
  // bounds); a corner or edge goes from 0 to half the rate instead.
  double min, max;
  int decimals;    // shown and stepped, or kRateDecimals
  // 1 or 2: the type's first or second corner or edge (the second a band's
  // only); 3 or 4 the same of the stop band's edges; else 0.
  int corner;
  unsigned types;  // the types that use the variable
  // Whether the design uses the variable beside its type (nullptr: always).
  bool (*used)(const Design&) = nullptr;
};

// Whether a row's default is the design's value: a type's name, or a
// whole number written in digits, read exactly (a default in another form
// is left to the configure's check).
template <typename Design>
constexpr bool PresetIs(const DesignParameter<Design>& row, const Design& d) {
  const char* text = row.preset;
  if (row.kind == ParameterKind::kType) {
    const char* name = kTypeNames[d.*(row.whole)];
    while (*text && *text == *name) ++text, ++name;
    return *text == *name;
  }
  if (row.kind == ParameterKind::kChoice) {
    // The preset is the word at the place of the design's value.
    const char* word = row.words;
    for (int place = d.*(row.whole); place > 0; --place) {
      while (*word && *word != ' ') ++word;
      if (*word) ++word;
    }
    while (*text && *text == *word) ++text, ++word;
    return *text == 0 && (*word == ' ' || *word == 0);
  }
  double value = 0.0;
  for (; *text; ++text) {
    if (*text < '0' || *text > '9') return true;
    value = value * 10.0 + (*text - '0');
  }
  return row.number ? d.*(row.number) == value : d.*(row.whole) == value;
}

// The design of values given in the rows' order (a choice or type as its
// code, a word for 0 as 0): what the configure writes of its variables.
template <typename Design, std::size_t N>
constexpr Design DesignOf(const DesignParameter<Design> (&rows)[N], const double (&values)[N]) {
  Design d{};
  for (std::size_t i = 0; i < N; ++i) {
    if (rows[i].number) {
      d.*(rows[i].number) = static_cast<float>(values[i]);
    } else {
      d.*(rows[i].whole) = static_cast<int>(values[i]);
    }
  }
  return d;
}

template <typename Design, std::size_t N>
constexpr bool PresetsAre(const DesignParameter<Design> (&rows)[N], const Design& d) {
  for (const DesignParameter<Design>& row : rows) {
    if (!PresetIs(row, d)) return false;
  }
  return true;
}
