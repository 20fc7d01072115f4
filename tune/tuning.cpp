#include "tune/tuning.h"

#include <locale.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>


namespace {

// Numbers are read and written with '.' as the decimal point, whatever
// the locale.
locale_t CNumeric() {
  static const locale_t c_locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  return c_locale;
}

float ReadFloat(const std::string& text) { return strtof_l(text.c_str(), nullptr, CNumeric()); }

double StepSize(Step step) { return step.mantissa * std::pow(10.0, step.exponent); }

}  // namespace

Step FrequencyStep(float fsamp) {
  const double most = static_cast<double>(fsamp) / 2.0 / 20000.0;  // smallest step allowed
  int exponent = static_cast<int>(std::floor(std::log10(most)));
  for (;; ++exponent) {
    for (int mantissa : {1, 2, 5}) {
      const Step step = {mantissa, exponent};
      if (StepSize(step) >= most * (1.0 - 1e-12)) return step;
    }
  }
}

std::string FrequencyUnit(Step step) {
  return step.mantissa == 1 && step.exponent == 0 ? "Hz" : ShortestDecimal(StepValue(1, step)) + " Hz";
}

float StepValue(int position, Step step) {
  return ReadFloat(std::to_string(static_cast<long long>(position) * step.mantissa) + "e" +
                   std::to_string(step.exponent));
}

int NearestPosition(float value, Step step, int max) {
  const double position = std::nearbyint(static_cast<double>(value) / StepSize(step));
  return position < 0.0 ? 0 : (position > max ? max : static_cast<int>(position));
}

int LastPosition(double limit, Step step) {
  return static_cast<int>(std::floor(limit / StepSize(step) * (1.0 + 1e-12)));
}

std::string ShortestDecimal(float v) {
  // The fewest significant digits that read back as v, as d.ddde[-]x.
  char text[32];
  for (int digits = 1; digits <= 9; ++digits) {
    const locale_t previous = uselocale(CNumeric());
    std::snprintf(text, sizeof text, "%.*e", digits - 1, static_cast<double>(v));
    uselocale(previous);
    if (ReadFloat(text) == v) break;
  }
  const std::string scientific = text;
  const size_t e = scientific.find('e');
  std::string mantissa = scientific.substr(0, e);
  const int exponent = std::atoi(scientific.c_str() + e + 1);
  const bool negative = mantissa[0] == '-';
  std::string significant;
  for (char c : mantissa) {
    if (c >= '0' && c <= '9') significant += c;
  }
  if (exponent < -5 || exponent > 20) {
    std::string out = (negative ? "-" : "") + significant.substr(0, 1);
    if (significant.size() > 1) out += "." + significant.substr(1);
    return out + "e" + std::to_string(exponent);
  }
  std::string out;
  if (exponent < 0) {
    out = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + significant;
  } else if (significant.size() <= static_cast<size_t>(exponent) + 1) {
    out = significant + std::string(static_cast<size_t>(exponent) + 1 - significant.size(), '0');
  } else {
    out = significant.substr(0, static_cast<size_t>(exponent) + 1) + "." +
          significant.substr(static_cast<size_t>(exponent) + 1);
  }
  return (negative ? "-" : "") + out;
}

void Tuner::Move(int control, int position) {
  held_.clear();
  std::string refusal = RefusalWith(control, position);
  if (refusal.empty()) {
    Assign(control, position);
    return;
  }
  const int from = Position(control);
  if (Graded(control) && from != position && RefusalWith(control, from).empty()) {
    // Accepted at `accepted`, refused at `refused`: halve the gap until
    // they are neighbours; the limit that refuses `refused` is the one
    // that holds the change.
    int accepted = from, refused = position;
    while (std::abs(refused - accepted) > 1) {
      const int middle = accepted + (refused - accepted) / 2;
      std::string why = RefusalWith(control, middle);
      if (why.empty()) {
        accepted = middle;
      } else {
        refused = middle;
        refusal = why;
      }
    }
    if (accepted != from) Assign(control, accepted);
  }
  held_ = "held by " + refusal;
}

void Tuner::Click(double hz) {
  int nearest = -1;
  for (int control : Corners()) {
    if (nearest < 0 || std::fabs(Value(control) - hz) < std::fabs(Value(nearest) - hz)) nearest = control;
  }
  if (nearest < 0) return;
  const Step step = StepOf(nearest);
  const double position = std::nearbyint(hz / StepSize(step));
  const int max = Controls()[static_cast<size_t>(nearest)].max;
  Move(nearest, position < 0.0 ? 0 : (position > max ? max : static_cast<int>(position)));
}

std::string Tuner::Status() const { return held_.empty() ? Words() : Words() + "  |  " + held_; }

void Tuner::Save() const {
  Respond();
  WriteFile();
  std::printf("%s\n", OptionsLine().c_str());
  std::fflush(stdout);
}
