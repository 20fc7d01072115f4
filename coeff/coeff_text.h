// A coefficient file's text as the viewers read it (corvell, sunnaq, and
// the tuners' picture of a file) and as the designers write it. Nothing is
// printed or ended here: the viewers' readers print and end with the
// reading's outcome (iir/coeff_load.cpp, fir/tap_load.cpp).
#pragma once

#include <string>
#include <vector>

#include "coeff/coefficients.h"

// What the viewers make of a file: its values, or a fault in the words the
// viewers print ("NAME cannot be opened." or "NAME cannot be read.").
struct ViewerReading {
  enum class Fault { kNone, kCannotOpen, kCannotRead };
  Fault fault = Fault::kNone;
  std::string words;
  CoeffSet coefficients;
  // The file goes on past what the viewer holds (40 lines, 400 taps).
  bool more = false;
};

// The values of a file's text, as the viewers read it. The text is taken
// in the pieces that fgets takes into a 40-byte buffer: a line of up to 38
// characters and its newline is one piece, a longer one is cut every 39
// characters. Each piece is one value as atof reads it in the C locale
// (leading blanks, a sign, an exponent, nan and inf; what follows the
// number, a carriage return too, ignored; no number is 0), narrowed to
// single precision. A biquad file: at most 40 pieces, a partly filled last
// section completed with the pass-through values a0 = 1, a1 = a2 = b1 =
// b2 = 0; no piece is no section. A tap file: at most 400 pieces. `more`
// is set when a piece follows the last one held.
ViewerReading ParseAsViewer(CoeffKind kind, const std::string& text);

// Reads at most `most` bytes from the start of the file `name` into text
// (a device that never ends, /dev/zero, is read no further). Returns
// kNone, or the step that failed (kCannotOpen, kCannotRead) with errno
// set to its reason.
ViewerReading::Fault ReadFileHead(const std::string& name, size_t most, std::string& text);

// Reads the file `name` (no more of it than the viewer takes) and parses
// its text; a fault when it cannot be opened or read.
ViewerReading ReadAsViewer(CoeffKind kind, const std::string& name);

// The file's text as the designers write it: each value, widened to
// double, as one "%f\n" line with '.' as the decimal point whatever the
// locale ("%.6e\n" for a value whose fixed-point text would not fit a line).
std::string CoefficientFileText(const std::vector<float>& values);
