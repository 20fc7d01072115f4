#include "coeff/coeff_reading.h"

#include <locale.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "coeff/coeff_text.h"
#include "core/number_text.h"

namespace {

// The most bytes read of a file. A file the reading takes has at most 400
// lines of 39 bytes (a newline included); in the first 400 * 39 + 1 bytes
// of a longer file there is a line too long or a line beyond the count
// (each line starts at most 39 bytes after the one before), so the reading
// refuses it there with the words that the whole file would give, and a
// device that never ends (/dev/zero) is read no further.
constexpr size_t kMostBytes = size_t(kMostFileTaps) * kMaxLineChars + 1;

CoeffReading Faulty(CoeffReading::Fault fault, const std::string& words) {
  CoeffReading reading;
  reading.fault = fault;
  reading.words = words;
  return reading;
}

// The line's text between quotes, its control characters as \xNN so that
// the message stays one line that a terminal shows as it is.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (unsigned char c : text) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
    quoted += c < 0x20 || c == 0x7f ? std::string(escaped) : std::string(1, char(c));
  }
  return quoted + "\"";
}

}  // namespace

CoeffReading ParseCoefficients(CoeffKind kind, const std::string& text, const std::string& name) {
  const bool biquad = kind == CoeffKind::kBiquad;
  const size_t most = biquad ? kMaxCoeffLines : kMostFileTaps;
  auto refuse = [&](size_t line, const std::string& what) {
    return Faulty(CoeffReading::Fault::kRefused, name + ", line " + std::to_string(line) + ": " + what);
  };
  if (text.empty()) return Faulty(CoeffReading::Fault::kRefused, name + " is empty.");
  static const locale_t c_locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  CoeffReading reading;
  size_t line = 0;  // the number of the line read, from 1
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    std::string body = text.substr(at, end - at);
    at = end + 1;
    if (++line > most) {
      return refuse(
          line, biquad ? "a biquad file holds at most 8 sections (40 lines)." : "a tap file holds at most 400 taps.");
    }
    if (body.size() >= size_t(kMaxLineChars))
      return refuse(line, "the line is longer than 38 characters, which the viewers read as more than one number.");
    if (!body.empty() && body.back() == '\r') body.pop_back();
    const size_t first = body.find_first_not_of(" \t");
    if (first == std::string::npos) return refuse(line, "the line is blank; each line holds one number.");
    const std::string number = body.substr(first, body.find_last_not_of(" \t") + 1 - first);
    // strtod would skip other white space (a vertical tab, a form feed) before the number: not ours.
    char* stop = nullptr;
    double value = 0;
    if (!std::isspace(static_cast<unsigned char>(number[0])))
      value = c_locale ? strtod_l(number.c_str(), &stop, c_locale) : std::strtod(number.c_str(), &stop);
    if (stop != number.c_str() + number.size()) return refuse(line, Quoted(number) + " is not a number.");
    if (!(std::fabs(value) <= FLT_MAX))
      return refuse(line, Quoted(number) + " is not a finite single-precision number.");
    reading.values.push_back(static_cast<float>(value));
  }
  if (biquad && reading.values.size() % kLinesPerSection != 0) {
    return refuse(line, "the file ends inside section " + std::to_string(reading.values.size() / kLinesPerSection + 1) +
                            "; a section is 5 lines: a0, a1, a2, b1, b2.");
  }
  return reading;
}

CoeffReading ReadCoefficientFile(CoeffKind kind, const std::string& name) {
  std::string text;
  switch (ReadFileHead(name, kMostBytes, text)) {
    case ViewerReading::Fault::kCannotOpen:
      return Faulty(CoeffReading::Fault::kUnreadable, name + " cannot be opened: " + std::strerror(errno) + ".");
    case ViewerReading::Fault::kCannotRead:
      return Faulty(CoeffReading::Fault::kUnreadable, name + " cannot be read: " + std::strerror(errno) + ".");
    default:
      return ParseCoefficients(kind, text, name);
  }
}
