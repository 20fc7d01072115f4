// Numbers as text with '.' as the decimal point, whatever the process
// locale (a window backend may switch LC_NUMERIC when it opens a window).
#pragma once

#include <string>

// Longest line of a coefficient file, newline included, and the buffer
// that holds it with its terminating NUL.
constexpr int kMaxLineChars = 39;
constexpr int kLineBufferSize = kMaxLineChars + 1;

// Appends v, widened to double, as one "%f\n" line with '.' as the decimal
// point. A value whose fixed-point text would not fit a line (magnitude of
// about 1e30 or more) is written as "%.6e\n" instead, so that every value
// stays one line that the readers take back.
void AppendValueLine(std::string& content, float v);

// The standard atof conversion (leading white space skipped, longest
// numeric prefix taken, 0 when there is none), always in the C locale.
double ParseValue(const char* text);

// The standard strtof conversion, always in the C locale: straight to
// single precision, as a compiler reads a float literal and the configure
// reads a design parameter.
float ParseFloat(const char* text);

// printf-style formatting of one number with '.' as the decimal point,
// into a string sized to the text.
std::string FormatNumber(const char* format, double v);

// The shortest decimal text that reads back as v both straight to single
// precision (strtof, a compiler's float literal, the configure) and
// through double (the viewers' reader), without a '+' sign: plain
// decimals, or an exponent for very large or small values ("22050",
// "0.1", "-0", "1e-15"); "nan", "inf" or "-inf" where there is no number.
std::string ShortestDecimal(float v);
