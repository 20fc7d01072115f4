// Coefficients read by the viewers' readers, for the programs that hand
// them on: coeff-export and coeff-apply.
#pragma once

#include <vector>

#include "core/coeff_layout.h"

// Reads the file as corvell (a biquad file) or sunnaq (a tap file) reads
// it: the same values, the same notes on standard error, and for a file
// that cannot be opened or read the same line on standard output and exit
// status 1. A biquad file gives 5 values a section in the file's order,
// its last section completed as the reader completes it; a tap file its
// taps. The reader's count line ("BiquadN = N", "TapN = N") goes to
// standard output, unless `quiet`.
std::vector<float> ReadCoefficients(CoeffKind kind, const char* name, bool quiet);
