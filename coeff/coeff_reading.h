// The strict reading of a coefficient file, for what goes to a board
// (coeff-export, coeff-apply): each line one number, as many as the kind of
// file holds, or the fault in words. Nothing is guessed, printed or ended
// here. The viewers keep their own lenient reading (coeff/coeff_text.h);
// a file read here means the same to them.
#pragma once

#include <string>
#include <vector>

#include "coeff/coefficients.h"

// What a reading gives: the values (a biquad file's 5 a section in the
// file's order, a tap file's taps from tap 0), or a fault and its words,
// which name the file and, where there is one, the line, without the
// program's name or a newline ("coeff1.txt, line 3: \"abc\" is not a number.").
struct CoeffReading {
  enum class Fault { kNone, kUnreadable, kRefused };
  Fault fault = Fault::kNone;
  std::string words;
  std::vector<float> values;
};

// Reads the text of the file `name`. Each line, up to its newline (the
// last line may lack one), is one number as strtod reads it in the C
// locale (a sign, decimals or an exponent, hexadecimal), narrowed to single
// precision as the viewers narrow it; blanks (spaces, tabs) around it and a
// carriage return before the newline are allowed, nothing else. Refused:
// a line that is not a number, a blank line, a line of more than 38
// characters before its newline (the viewers take it in pieces, as more
// than one value), a number that single precision holds only as infinity
// or not a number (nan, inf, 1e39), an empty text, and a count that the
// kind cannot have: a biquad file holds 1 to 8 whole sections of 5 lines,
// a tap file 1 to 400 taps, as many as the viewers hold. The first fault
// in the order of the lines is the one given.
CoeffReading ParseCoefficients(CoeffKind kind, const std::string& text, const std::string& name);

// Reads the file `name` and parses its text. A file that cannot be opened
// or read is kUnreadable: "NAME cannot be opened: REASON." or "NAME cannot
// be read: REASON." with the system's reason.
CoeffReading ReadCoefficientFile(CoeffKind kind, const std::string& name);
