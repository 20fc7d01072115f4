#include "core/number_text.h"

#include <locale.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The C locale's numeric conventions, created once per process.
locale_t CNumericLocale() {
  static const locale_t c_locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  return c_locale;
}

// Switches the calling thread to the C numeric conventions while it lives.
class ScopedCNumeric {
 public:
  ScopedCNumeric() : previous_(CNumericLocale() ? uselocale(CNumericLocale()) : nullptr) {}
  ~ScopedCNumeric() {
    if (previous_) uselocale(previous_);
  }
  ScopedCNumeric(const ScopedCNumeric&) = delete;
  ScopedCNumeric& operator=(const ScopedCNumeric&) = delete;

 private:
  locale_t previous_;
};

}  // namespace

void AppendValueLine(std::string& content, float v) {
  ScopedCNumeric c_numeric;
  char line[kLineBufferSize];
  int n = std::snprintf(line, sizeof line, "%f\n", static_cast<double>(v));
  if (n < 0 || n >= static_cast<int>(sizeof line)) {
    n = std::snprintf(line, sizeof line, "%.6e\n", static_cast<double>(v));
  }
  content.append(line, static_cast<size_t>(n));
}

double ParseValue(const char* text) {
  const locale_t c_locale = CNumericLocale();
  return c_locale ? strtod_l(text, nullptr, c_locale) : std::strtod(text, nullptr);
}

float ParseFloat(const char* text) {
  const locale_t c_locale = CNumericLocale();
  return c_locale ? strtof_l(text, nullptr, c_locale) : std::strtof(text, nullptr);
}

std::string FormatNumber(const char* format, double v) {
  ScopedCNumeric c_numeric;
  const int n = std::snprintf(nullptr, 0, format, v);
  if (n <= 0) return std::string();
  std::string text(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(&text[0], text.size(), format, v);
  text.resize(static_cast<size_t>(n));
  return text;
}

namespace {

bool SameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

// The two roundings differ only next to a midpoint between floats.
bool ReadsBackAs(const std::string& text, float v) {
  return SameFloat(ParseFloat(text.c_str()), v) && SameFloat(static_cast<float>(ParseValue(text.c_str())), v);
}

}  // namespace

std::string ShortestDecimal(float v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  // The fewest significant digits that read back as v, as d.ddde[-]x.
  std::string scientific;
  for (int digits = 1; digits <= 9; ++digits) {
    scientific = FormatNumber(("%." + std::to_string(digits - 1) + "e").c_str(), static_cast<double>(v));
    if (ReadsBackAs(scientific, v)) break;
  }
  const size_t e = scientific.find('e');
  const int exponent = std::atoi(scientific.c_str() + e + 1);
  const std::string sign = scientific[0] == '-' ? "-" : "";
  std::string significant;
  for (size_t i = 0; i < e; ++i) {
    if (scientific[i] >= '0' && scientific[i] <= '9') significant += scientific[i];
  }
  if (exponent < -5 || exponent > 20) {
    std::string out = sign + significant.substr(0, 1);
    if (significant.size() > 1) out += "." + significant.substr(1);
    return out + "e" + std::to_string(exponent);
  }
  const size_t whole = static_cast<size_t>(exponent) + 1;  // digits before the point, when exponent >= 0
  if (exponent < 0) return sign + "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + significant;
  if (significant.size() <= whole) return sign + significant + std::string(whole - significant.size(), '0');
  return sign + significant.substr(0, whole) + "." + significant.substr(whole);
}
