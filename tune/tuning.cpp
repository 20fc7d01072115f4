#include "tune/tuning.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <regex>
#include <string>

#include "coeff/coeff_text.h"
#include "core/filter_type.h"
#include "core/textio.h"

namespace {

std::string Joined(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& n : names) joined += (joined.empty() ? "" : ", ") + n;
  return joined;
}

// The value as the field holds it: a whole number, or the nearest float.
double AsHeld(const Field& field, double v) {
  if (field.kind == FieldKind::kNumber) return static_cast<float>(v);
  return std::nearbyint(v);
}

std::string NumberText(const Field& field, double v) {
  const std::string number = field.kind == FieldKind::kNumber ? ShortestDecimal(static_cast<float>(v))
                                                                : std::to_string(static_cast<long long>(v));
  return field.unit.empty() ? number : number + " " + field.unit;
}

}  // namespace

std::vector<std::string> SplitWords(const std::string& words) {
  std::vector<std::string> split;
  for (size_t at = 0; at < words.size();) {
    const size_t end = std::min(words.find(' ', at), words.size());
    split.push_back(words.substr(at, end - at));
    at = end + 1;
  }
  return split;
}

int FrequencyDecimals(float fsamp) {
  const double step = static_cast<double>(fsamp) / 2.0 / 2000.0;
  if (!(step > 0.0) || !std::isfinite(step)) return 1;  // no rate yet: an empty design
  return std::max(1, static_cast<int>(std::ceil(-std::log10(step))));
}

std::string FieldText(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  const float held = static_cast<float>(value);
  return ParseFloat(text) == held || !std::isfinite(held) ? text : ShortestDecimal(held);
}

double Tuner::Edge(int field, double accepted, double refused, bool quick) const {
  return EdgeWhere(field, accepted, refused, [&](double v) { return RefusalWith(field, v, quick).empty(); });
}

template <typename Accepted>
double Tuner::EdgeWhere(int field, double accepted, double refused, Accepted ok) const {
  const Field f = Fields()[static_cast<size_t>(field)];
  // Accepted at `accepted`, refused at `refused`: halve the gap until they
  // are neighbours (whole numbers, or floats).
  for (int i = 0; i < 200; ++i) {
    const double middle = AsHeld(f, accepted + (refused - accepted) / 2.0);
    if (middle == accepted || middle == refused) break;
    (ok(middle) ? accepted : refused) = middle;
  }
  // A value on the field's steps, if the limits accept it and it stays
  // within a thousandth of the edge: the edge is what the line then names,
  // so a bound far below a step (an attenuation of 0.00001 dB at steps of
  // 0.1) is held and named as it is.
  const double step = std::pow(10.0, -f.decimals);
  const double rounded = AsHeld(f, refused > accepted ? std::floor(accepted / step * (1 + 1e-12)) * step
                                                      : std::ceil(accepted / step * (1 - 1e-12)) * step);
  const bool near = std::abs(rounded - accepted) <= 1e-3 * std::abs(accepted);
  return f.kind == FieldKind::kNumber && near && ok(rounded) ? rounded : accepted;
}

bool Tuner::Set(int field, double value) {
  held_.clear();
  const Field f = Fields()[static_cast<size_t>(field)];
  // Beyond the field's own range (which holds every value that some design
  // accepts) the limits refuse the value too: it is held at the edge
  // between the present value and the field's end, with the words.
  const double asked = AsHeld(f, value);
  value = AsHeld(f, std::clamp(value, f.min, f.max));
  if (value == asked && value == Value(field)) return true;
  if (value == asked && RefusalWith(field, value).empty()) {
    Assign(field, value);
    return true;
  }
  if (f.kind == FieldKind::kChoice) {
    const double before = Value(field);
    SaveState();
    Assign(field, value);
    if (Repair(Arrange(field))) return true;
    RestoreState();
    held_ = Choices(field)[static_cast<size_t>(value)] + " is not taken: no corners that the limits accept";
    (void)before;
    return false;
  }
  const double present = Value(field);
  const double edge = RefusalWith(field, value).empty() ? value : Edge(field, present, value, false);
  Assign(field, edge);
  held_ = Opening(field) + " needs its " + Name(field) + " at " + NumberText(f, edge) + " or " +
          (asked > present ? "below" : "above") + Closing(field);
  return false;
}

bool Tuner::SetTyped(int field, const std::string& text) {
  // The configure's form of a decimal number; a whole-number field takes
  // one whose value is whole ("51", "1e2", "100.0").
  static const std::regex decimal("[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?");
  const Field f = Fields()[static_cast<size_t>(field)];
  if (!f.word.empty() && text == f.word) return Set(field, 0.0);
  const bool whole = f.kind == FieldKind::kWhole;
  const double value = whole ? ParseValue(text.c_str()) : ParseFloat(text.c_str());
  if (!std::regex_match(text, decimal) || (whole && std::isfinite(value) && value != std::nearbyint(value))) {
    held_ = Name(field) + ": \"" + text + "\" is not " + (whole ? "a whole number" : "a number") +
            (whole ? " (such as 51 or 1e2)" : " (such as 2000, 1500.5 or 2e3)") +
            (f.word.empty() ? "" : " or " + f.word) + "; the design is as it was";
    return false;
  }
  return Set(field, value);
}

bool Tuner::Repair(std::string moved) {
  const std::vector<Field> fields = Fields();
  std::vector<int> corners;
  for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
    if (fields[static_cast<size_t>(i)].frequency && Uses(i)) corners.push_back(i);
  }
  for (size_t c = 0; c < corners.size(); ++c) {
    const int field = corners[c];
    const Field& f = fields[static_cast<size_t>(field)];
    // The limits of this corner hold: the design is accepted, or refused
    // only by a limit of a later corner.
    std::vector<std::string> later;
    for (size_t k = c + 1; k < corners.size(); ++k) later.push_back(Variable(corners[k]));
    const auto holds = [&](double v) {
      const std::string refusal = RefusalWith(field, v);
      return refusal.empty() || std::find(later.begin(), later.end(), refusal) != later.end();
    };
    const double present = Value(field);
    if (holds(present)) continue;
    // The value that holds nearest to the present one, on a grid searched
    // outwards from it (so that a near one is found after few checks: a
    // design of many sections takes long to check), then the edge between
    // the two.
    constexpr int kGrid = 4000;
    const double step = (f.max - f.min) / kGrid;
    double nearest = 0.0;
    bool found = false;
    const double start = std::clamp(present, f.min, f.max);  // a value stored beyond the field's range
    for (int k = 0; k <= kGrid && !found; ++k) {
      for (const double v : {AsHeld(f, start - k * step), AsHeld(f, start + k * step)}) {
        if (!found && v >= f.min && v <= f.max && holds(v)) nearest = v, found = true;
      }
    }
    if (!found) return false;
    const double edge = EdgeWhere(field, nearest, present, holds);
    Assign(field, edge);
    moved += (moved.empty() ? "" : ", ") + Name(field) + " to " + NumberText(f, edge);
  }
  if (!RefusalWith(0, Value(0)).empty()) return false;
  if (!moved.empty()) held_ = Opening(-1) + " takes no corners or edges as they were: " + moved + Closing(-1);
  return true;
}

std::pair<double, double> Tuner::Range(int field) const {
  const Field f = Fields()[static_cast<size_t>(field)];
  if (f.kind == FieldKind::kChoice) return {f.min, f.max};
  // A field whose 0 is a word ranges over its numbers, from 1.
  const double least = f.word.empty() ? f.min : 1.0;
  const double present = Value(field);
  if (present < least) return {least, f.max};  // the word: no number asked
  // The limits that make the whole design to judge it (a file's check)
  // are left out, for speed: a value beyond them is held when it is taken.
  const double low = RefusalWith(field, least, true).empty() ? least : Edge(field, present, least, true);
  const double high = RefusalWith(field, f.max, true).empty() ? f.max : Edge(field, present, f.max, true);
  return {low, high};
}

std::string Tuner::Configure(const std::vector<std::string>& options) {
  static const std::regex whole("[0-9]+"), decimal("[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?");
  const std::vector<std::string> variables = Variables();
  std::map<std::string, std::string> given;
  SaveState();
  const auto refuse = [&](const std::string& line) {
    RestoreState();
    return line;
  };
  for (std::string option : options) {
    if (option.rfind("-D", 0) == 0) option = option.substr(2);
    const size_t equals = option.find('=');
    const std::string name = option.substr(0, equals);
    const std::string text = equals == std::string::npos ? "" : option.substr(equals + 1);
    if (equals == std::string::npos || std::find(variables.begin(), variables.end(), name) == variables.end()) {
      return refuse(option + ": not an option; the options are -DNAME=VALUE of " + JoinedVariables());
    }
    const std::string said = name + " = " + text + ": not allowed; allowed ";
    double value = 0.0;
    const ParameterKind kind = KindOf(name);
    const std::string words = WordsOf(name);
    if (kind == ParameterKind::kType || kind == ParameterKind::kChoice) {
      std::vector<std::string> names(kTypeNames, kTypeNames + kTypeCount);
      if (kind == ParameterKind::kChoice) names = SplitWords(words);
      const auto found = std::find(names.begin(), names.end(), text);
      if (found == names.end()) return refuse(said + "are " + Joined(names));
      value = static_cast<double>(found - names.begin());
    } else if (!words.empty() && text == words) {
      value = 0.0;  // the word for 0: "auto"
    } else if (kind != ParameterKind::kNumber) {
      if (!std::regex_match(text, whole)) return refuse(said + "are whole numbers" + (words.empty() ? "" : " or " + words));
      const std::string digits = text.substr(std::min(text.find_first_not_of('0'), text.size() - 1));
      // As the configure takes it: beyond an int, or a 0 where 0 is the
      // word's, out of every range.
      value = digits.size() > 9 || (!words.empty() && digits == "0") ? 999999999.0 : std::atof(digits.c_str());
    } else {
      if (!std::regex_match(text, decimal)) return refuse(said + "are decimal numbers, such as 2000, 1500.5 or 2e3");
      value = ParseFloat(text.c_str());
    }
    given[name] = text;
    AssignVariable(name, value);
  }
  const std::string refusal = Refusal();
  if (refusal.empty()) return "";
  const std::string name = refusal.substr(0, refusal.find('|'));
  const std::string allowed = refusal.substr(refusal.find('|') + 1);
  const auto text = [&](const std::string& variable) {
    return given.count(variable) ? given[variable] : VariableText(variable);
  };
  // As the configure says it: then the values of the other variables that
  // the words name, in the order named.
  static const std::regex variable("[A-Z]+_[A-Z0-9_]+");
  std::vector<std::string> named{name};
  std::string with;
  for (std::sregex_iterator it(allowed.begin(), allowed.end(), variable), end; it != end; ++it) {
    const std::string other = it->str();
    if (std::find(variables.begin(), variables.end(), other) == variables.end() ||
        std::find(named.begin(), named.end(), other) != named.end())
      continue;
    named.push_back(other);
    with += (with.empty() ? ", with " : ", ") + other + " = " + text(other);
  }
  return refuse(name + " = " + text(name) + ": not allowed; allowed " + allowed + with);
}

std::string Tuner::JoinedVariables() const {
  std::string joined;
  for (const std::string& v : Variables()) joined += (joined.empty() ? "" : ", ") + v;
  return joined;
}

namespace {

// ReplaceFile's message with the system's reason: "coeff1.txt cannot be
// opened: Permission denied."
std::string WithReason(std::string message, int error) {
  if (message.empty() || error == 0) return message;
  message.pop_back();  // the full stop
  return message + ": " + std::strerror(error) + ".";
}

}  // namespace

std::string Tuner::FileText() const { return CoefficientFileText(Coefficients()); }

std::string Tuner::SaveTo(const std::string& name) const {
  int error = 0;
  const std::string message = ReplaceFile(name.c_str(), FileText(), &error);
  return WithReason(message, error);
}

std::string Tuner::ExportText(const CoeffLayout& layout) const {
  return layout.write(Coefficients(), std::string(Program()) + "'s design");
}

std::string Tuner::ExportTo(const CoeffLayout& layout, const std::string& name) const {
  int error = 0;
  const std::string message = ReplaceFile(name.c_str(), ExportText(layout), &error);
  return WithReason(message, error);
}

Cascade Tuner::Exported(const CoeffLayout& layout) const {
  return CascadeOf({layout.kind, ReadLayout(layout, ExportText(layout))});
}

Cascade CascadeOf(const CoeffSet& set) {
  const std::vector<float>& v = set.values;
  if (set.kind == CoeffKind::kFir) return {{{v.begin(), v.end()}, {1.0}}};
  Cascade cascade;
  for (size_t i = 0; i + kLinesPerSection <= v.size(); i += kLinesPerSection)
    cascade.push_back({{v[i], v[i + 1], v[i + 2]}, {1.0, v[i + 3], v[i + 4]}});
  return cascade;
}
