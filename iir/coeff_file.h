// The biquad coefficient file: plain text, one "%f" value per line, five
// lines per section in the order a0, a1, a2, b1, b2, section 0 first. No
// header, no count. Its text is read and written in coeff/coeff_text.h;
// here the designer's and the viewer's state meet it.
#pragma once

#include <string>
#include <vector>

#include "coeff/coeff_text.h"

// The designer's sections as the file holds them: entry 0 of p_a0 ...
// p_b2, and entry 1 too for a band-pass or band-reject design of order 2
// (DesignSections of FilType and OrderN), five values each.
std::vector<float> DesignedCoefficients();

// The designer's writer: the text of DesignedCoefficients(). Replaces the
// file only once the new one is complete; exits with status 1 and a
// message on standard output if it cannot be created or written.
void TxtSave(const char* name);
// The text that TxtSave writes.
std::string CoeffFileText();

// The viewer's reader: reads the file as the viewers read it
// (ReadAsViewer), resets a0 ... b2 to pass-through sections, puts value n
// into coefficient n mod 5 of section n div 5, sets BiquadN to the
// sections read (a partly filled last one counts; 0 for an empty file)
// and prints "BiquadN = %d\n"; a file with more than 40 lines gives the
// line "<name>: more than 8 sections; only the first 8 are used.\n" on
// standard error. If the file cannot be opened or read, prints
// "<name> cannot be opened.\n" (or "cannot be read") on standard output
// and exits with status 1.
void TxtLoad(const char* name);
