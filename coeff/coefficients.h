// A design as the suite holds it: the values of a biquad file (five a
// section) or of a tap file, and the rules of both files that every reader
// and writer takes from here: five values a section, the most that the
// viewers hold, the section count of a recursive design.
#pragma once

#include <cstddef>
#include <vector>

#include "core/filter_type.h"

enum class CoeffKind { kBiquad, kFir };

// Values a section, in the files' order a0, a1, a2, b1, b2 of
// (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2).
constexpr int kLinesPerSection = 5;
// The most that the viewers hold: 8 sections (40 lines), 400 taps.
constexpr int kMostFileSections = 8;
constexpr int kMaxCoeffLines = kMostFileSections * kLinesPerSection;
constexpr int kMostFileTaps = 400;

// The sections of a recursive design of a type and prototype order: a
// band type doubles the order; a section holds two (the last of an odd
// order one).
constexpr int DesignSections(int type, int order) { return IsBand(type) ? order : (order + 1) / 2; }

// The values of a design: a biquad cascade as kLinesPerSection values a
// section in the file's order, section 0 first; taps from tap 0 (the
// coefficient of z^0).
struct CoeffSet {
  CoeffKind kind = CoeffKind::kBiquad;
  std::vector<float> values;

  // Whole sections of a biquad cascade (a tap set has none).
  size_t Sections() const { return kind == CoeffKind::kBiquad ? values.size() / kLinesPerSection : 0; }
};
