// The layouts in which coeff-export writes the coefficients of a biquad
// file or a tap file for DSP code: C arrays for the board header
// (board/filter_board.h), rows for sosfilt, and the arrays CMSIS-DSP takes.
#pragma once

#include <string>
#include <vector>

#include "coeff/coefficients.h"

// A layout: its name, the kind of file it takes, its writer, its reader
// (ReadLayout) and the suffix of a file of it (".h"). A biquad cascade
// comes as kLinesPerSection values a section in the file's order (a0, a1,
// a2, b1, b2 of (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2)); taps
// as tap 0 first. `source` is the file's name, for the text's opening comment.
struct CoeffLayout {
  const char* name;
  CoeffKind kind;
  std::string (*write)(const std::vector<float>& values, const std::string& source);
  std::vector<float> (*read)(const std::string& text);
  const char* suffix;
};

// The layout of that name, or nullptr.
const CoeffLayout* FindCoeffLayout(const std::string& name);

// The layouts that take a kind of file, in the order of their names.
std::vector<const CoeffLayout*> CoeffLayoutsOf(CoeffKind kind);

// The values that a layout's text holds, as the code that takes it gets
// them, put back in the order of the coefficient files: a0, a1, a2, b1,
// b2 a section (CMSIS-DSP's feedback negated back), taps from tap 0
// (CMSIS-DSP's reversed back). The inverse of the layout's writer: its
// reader.
std::vector<float> ReadLayout(const CoeffLayout& layout, const std::string& text);

// The layouts' names, comma-separated, for messages.
std::string CoeffLayoutNames();
