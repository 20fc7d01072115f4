// Text files of the suite: one number per line, '.' as the decimal point.
//
// Both coefficient formats (biquad sections and FIR taps) are plain text
// with one "%f" value per line, at most 39 characters per line including
// the newline. These helpers keep the numbers independent of the process
// locale (a window backend may switch LC_NUMERIC when it opens a window)
// and replace an output file only once its new content is complete.
#pragma once

#include <cstdio>
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

// Opens name for reading. If it cannot be opened, prints
// "<name> cannot be opened.\n" on standard output and exits with status 1.
std::FILE* OpenForReadingOrExit(const char* name);

// Reads the next piece of a line, as fgets with a 40-byte buffer: at most
// 39 characters, stopping after a newline. Returns false at end of file.
// A read error prints "<name> cannot be read.\n" on standard output and
// exits with status 1.
bool ReadLinePiece(std::FILE* file, const char* name, char (&line)[kLineBufferSize]);

// Writes content to name. The content goes to a new file beside it, which
// replaces name only once it is complete; an earlier file of that name
// stays whole whatever fails. Only where the directory takes no new file
// but an existing file may be written is that file written in place, and
// if the new content cannot be written whole, what the file held is put
// back. A symbolic link is written through, and a device or a pipe is
// written, never replaced. If the file cannot be created, prints
// "<name> cannot be opened.\n"; if writing it fails,
// "<name> cannot be written.\n", or, when even the earlier content cannot
// be put back, "<name> cannot be written; its earlier content is lost.\n";
// all on standard output, then exits with status 1.
void ReplaceFileOrExit(const char* name, const std::string& content);

// Writes content to name as ReplaceFileOrExit does, but returns instead of
// exiting: "" once the file holds content, else the message that
// ReplaceFileOrExit would print ("<name> cannot be opened." and so on,
// without the newline), printed nowhere; error, if given, gets the
// system's error number of the step that failed (EISDIR for a folder), or
// 0 once written.
std::string ReplaceFile(const char* name, const std::string& content, int* error = nullptr);

// printf-style formatting of one number with '.' as the decimal point,
// into a string sized to the text.
std::string FormatNumber(const char* format, double v);

// The shortest decimal text that reads back as v both straight to single
// precision (strtof, a compiler's float literal, the configure) and
// through double (the viewers' reader), without a '+' sign: plain
// decimals, or an exponent for very large or small values ("22050",
// "0.1", "-0", "1e-15"); "nan", "inf" or "-inf" where there is no number.
std::string ShortestDecimal(float v);
