// The biquad coefficient file: plain text, one "%f" value per line, five
// lines per section in the order a0, a1, a2, b1, b2, section 0 first. No
// header, no count. A line holds at most 39 characters with its newline;
// a reader takes at most 40 lines (8 sections).
#pragma once

#include <string>

// Lines per section and the most lines a reader takes.
constexpr int kLinesPerSection = 5;
constexpr int kMaxCoeffLines = 40;

// The designer's writer: entry 0 of p_a0 ... p_b2, and entry 1 too for a
// band-pass or band-reject design of order 2 (FilType 2 or 3, OrderN 2).
// Replaces the file only once the new one is complete; exits with status 1
// and a message on standard output if it cannot be created or written.
void TxtSave(const char* name);
// The text that TxtSave writes.
std::string CoeffFileText();

// The viewer's reader: resets a0 ... b2 to pass-through sections, reads up
// to 40 lines into them (line n is coefficient n mod 5 of section n div 5),
// sets BiquadN to the number of sections touched (0 for an empty file) and
// prints "BiquadN = %d\n"; a file with more lines gives the line
// "<name>: more than 8 sections; only the first 8 are used.\n" on standard
// error. A line longer than 39 characters is taken in pieces, each piece
// one value. Exits with status 1 and a message on standard output if the
// file cannot be opened or read.
void TxtLoad(const char* name);
