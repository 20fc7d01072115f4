// The tap file: plain text, one tap per line, tap 0 first, each written
// as "%f\n" ('.' as the decimal point, whatever the locale). No header,
// no count. A line holds at most 39 characters with its newline, and a
// file holds at most kMaxTaps taps.
#pragma once

#include <string>

// The designer's writer: taps[0] to taps[TapN - 1], and one more line of
// 0.000000 when evenTap is 1, so that the file holds the tap count first
// requested of the designer. Replaces the file only once the new one is
// complete; if it cannot be created or written, prints
// "<name> cannot be opened.\n" (or "cannot be written") on standard
// output and exits with status 1.
void TxtSave(const char* name, const float* taps);
// The text that TxtSave writes.
std::string TapFileText(const float* taps);

// The viewer's reader: reads the file in pieces of at most 39 characters
// (a line, or a part of a longer line), converts each piece as atof does
// (a piece without a number is a zero tap) and stores it, narrowed to
// single precision, as the next tap. Sets TapN to the number of taps read
// and prints "TapN = %d\n" on standard output. Entries past the taps read
// keep what they held. At most kMaxTaps taps are stored: a file with more
// gives TapN = kMaxTaps and the line
// "<name>: more than 400 taps; only the first 400 are used.\n" on standard
// error, and reading stops there. If the file cannot be opened, prints
// "<name> cannot be opened.\n" on standard output and exits with status 1.
void TxtLoad(const char* name, float* taps);
