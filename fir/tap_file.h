// The tap file: plain text, one tap per line, tap 0 first, each written
// as "%f\n" ('.' as the decimal point, whatever the locale). No header,
// no count. Its text is read and written in coeff/coeff_text.h; here the
// designer's and the viewer's taps meet it.
#pragma once

#include <string>
#include <vector>

#include "coeff/coeff_text.h"

// The designer's taps as the file holds them: taps[0] to taps[TapN - 1],
// and one more of 0 when evenTap is 1, so that the file holds the tap
// count first requested of the designer.
std::vector<float> DesignedTaps(const float* taps);

// The designer's writer: the text of DesignedTaps(taps). Replaces the
// file only once the new one is complete; if it cannot be created or
// written, prints "<name> cannot be opened.\n" (or "cannot be written")
// on standard output and exits with status 1.
void TxtSave(const char* name, const float* taps);
// The text that TxtSave writes.
std::string TapFileText(const float* taps);

// The viewer's reader: reads the file as the viewers read it
// (ReadAsViewer: pieces of at most 39 characters, each a tap as atof
// reads it, narrowed to single precision) into taps. Sets TapN to the
// number of taps read and prints "TapN = %d\n" on standard output.
// Entries past the taps read keep what they held. At most 400 taps are
// stored: a file with more gives TapN = 400 and the line
// "<name>: more than 400 taps; only the first 400 are used.\n" on standard
// error. If the file cannot be opened or read, prints "<name> cannot be
// opened.\n" (or "cannot be read") on standard output and exits with
// status 1.
void TxtLoad(const char* name, float* taps);
