#include "iir/pelmora_tuning.h"

#include <sstream>

#include "core/filter_type.h"
#include "core/textio.h"
#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_design.h"
#include "iir/pelmora_limits.h"

namespace {

const char* const kVariables[] = {"PELMORA_TYPE", "PELMORA_ORDER", "PELMORA_FC1",
                                  "PELMORA_FC2",  "PELMORA_ATTENUATION_DB", "PELMORA_FSAMP"};

std::string Hz(float v) { return ShortestDecimal(v) + " Hz"; }

}  // namespace

PelmoraTuner::PelmoraTuner(const PelmoraDesign& start)
    : design_(start), saved_(start), decimals_(FrequencyDecimals(start.fsamp)) {}

std::vector<Field> PelmoraTuner::Fields() const {
  const double half = static_cast<double>(design_.fsamp) / 2.0;
  return {{"type", FieldKind::kChoice, "", 0, 3, 0, false},
          {"order", FieldKind::kChoice, "", 0, 1, 0, false},
          {IsBand(design_.type) ? "lower corner" : "corner", FieldKind::kNumber, "Hz", 0, half, decimals_, true},
          {"upper corner", FieldKind::kNumber, "Hz", 0, half, decimals_, true},
          {"attenuation", FieldKind::kNumber, "dB", 0, PELMORA_MOST_ATTENUATION, 1, false},
          {"sampling frequency", FieldKind::kNumber, "Hz", PELMORA_LOWEST_FSAMP, PELMORA_HIGHEST_FSAMP, decimals_,
           false}};
}

std::vector<std::string> PelmoraTuner::Choices(int field) const {
  if (field == kOrder) return {"1", "2"};
  return {kTypeNames, kTypeNames + kTypeCount};
}

double PelmoraTuner::Value(int field) const {
  switch (field) {
    case kType:
      return design_.type;
    case kOrder:
      return design_.order - 1;
    case kLowerCorner:
      return design_.fc1;
    case kUpperCorner:
      return design_.fc2;
    case kAttenuation:
      return design_.attenuation_db;
    default:
      return design_.fsamp;
  }
}

bool PelmoraTuner::Uses(int field) const { return field != kUpperCorner || IsBand(design_.type); }

std::string PelmoraTuner::Name(int field) const {
  switch (field) {
    case kLowerCorner:
      return IsBand(design_.type) ? "lower corner" : "corner";
    case kUpperCorner:
      return "upper corner";
    case kAttenuation:
      return "attenuation";
    case kFsamp:
      return "sampling frequency";
    default:
      return field == kType ? "type" : "order";
  }
}

PelmoraDesign PelmoraTuner::With(int field, double value) const {
  PelmoraDesign d = design_;
  switch (field) {
    case kType:
      d.type = static_cast<int>(value);
      break;
    case kOrder:
      d.order = static_cast<int>(value) + 1;
      break;
    case kLowerCorner:
      d.fc1 = static_cast<float>(value);
      break;
    case kUpperCorner:
      d.fc2 = static_cast<float>(value);
      break;
    case kAttenuation:
      d.attenuation_db = static_cast<float>(value);
      break;
    default:
      d.fsamp = static_cast<float>(value);
  }
  return d;
}

std::string PelmoraTuner::Variable(int field) const { return kVariables[field]; }

std::string PelmoraTuner::RefusalWith(int field, double value) const {
  const PelmoraLimit* refusal = PelmoraRefusal(With(field, value));
  return refusal ? refusal->variable : "";
}

std::string PelmoraTuner::Opening(int field) const {
  const std::string type = kTypeNames[design_.type] + std::string(" of order ") + std::to_string(design_.order);
  const std::string corners = IsBand(design_.type) ? "corners at " + Hz(design_.fc1) + " and " + Hz(design_.fc2)
                                                   : "corner at " + Hz(design_.fc1);
  const std::string at = "at " + ShortestDecimal(design_.attenuation_db) + " dB a " + type;
  switch (field) {
    case kLowerCorner:
      return IsBand(design_.type) ? at + " with its upper corner at " + Hz(design_.fc2) : at;
    case kUpperCorner:
      return at + " with its lower corner at " + Hz(design_.fc1);
    case kAttenuation:
      return "a " + type + " with its " + corners;
    case kFsamp:
      return at + " with its " + corners;
    default:
      return "a " + type;
  }
}

std::string PelmoraTuner::Closing(int field) const {
  return field == kFsamp ? "" : ", at " + Hz(design_.fsamp);
}

std::string PelmoraTuner::Words() const {
  const std::string corners = IsBand(design_.type) ? "corners " + Hz(design_.fc1) + " and " + Hz(design_.fc2)
                                                   : "corner " + Hz(design_.fc1);
  return kTypeNames[design_.type] + std::string(" of order ") + std::to_string(design_.order) + ": " + corners +
         ", " + ShortestDecimal(design_.attenuation_db) + " dB down; sampling " + Hz(design_.fsamp);
}

std::string PelmoraTuner::OptionsLine() const {
  // What the design uses: the upper corner of a band type only (the
  // configure's default for an unused corner is accepted at any rate).
  return "-DPELMORA_TYPE=" + std::string(kTypeNames[design_.type]) +
         " -DPELMORA_ORDER=" + std::to_string(design_.order) +
         " -DPELMORA_FC1=" + ShortestDecimal(design_.fc1) +
         (IsBand(design_.type) ? " -DPELMORA_FC2=" + ShortestDecimal(design_.fc2) : std::string()) +
         " -DPELMORA_ATTENUATION_DB=" + ShortestDecimal(design_.attenuation_db) +
         " -DPELMORA_FSAMP=" + ShortestDecimal(design_.fsamp);
}

std::vector<std::string> PelmoraTuner::Variables() const { return {std::begin(kVariables), std::end(kVariables)}; }

void PelmoraTuner::AssignVariable(const std::string& variable, double value) {
  for (int field = kType; field <= kFsamp; ++field) {
    if (variable == kVariables[field]) design_ = With(field, field == kOrder ? value - 1 : value);
  }
  // A whole number beyond an int (the configure's 999999999) stays refused.
  if (variable == "PELMORA_ORDER") design_.order = static_cast<int>(value);
}

std::string PelmoraTuner::Refusal() const {
  const PelmoraLimit* refusal = PelmoraRefusal(design_);
  return refusal ? std::string(refusal->variable) + "|" + refusal->allowed : "";
}

std::string PelmoraTuner::VariableText(const std::string& variable) const {
  for (int field = kType; field <= kFsamp; ++field) {
    if (variable != kVariables[field]) continue;
    if (field == kType) return kTypeNames[design_.type];
    if (field == kOrder) return std::to_string(design_.order);
    return ShortestDecimal(static_cast<float>(Value(field)));
  }
  return "";
}

void PelmoraTuner::Make() const {
  MakePelmoraDesign(design_);
  CalcFres(Gain, Theta);
}

Cascade PelmoraTuner::Design() const {
  // The sections that the file holds; the entries past them are the
  // pass-through sections of the reset.
  const int sections = IsBand(design_.type) && design_.order == 2 ? 2 : 1;
  Cascade cascade;
  for (int i = 0; i < sections; ++i) {
    cascade.push_back({{p_a0[i], p_a1[i], p_a2[i]}, {1.0, p_b1[i], p_b2[i]}});
  }
  return cascade;
}

std::string PelmoraTuner::FileText() const { return CoeffFileText(); }

std::vector<float> PelmoraTuner::Coefficients() const {
  std::vector<float> values;
  for (const Section& s : Design()) {
    // Design() holds the sections' single-precision values, widened exactly.
    values.insert(values.end(), {static_cast<float>(s.b[0]), static_cast<float>(s.b[1]), static_cast<float>(s.b[2]),
                                 static_cast<float>(s.a[1]), static_cast<float>(s.a[2])});
  }
  return values;
}

Cascade PelmoraTuner::FromFile(const std::string& text) const {
  // As the viewer reads: each line a value narrowed to single precision,
  // five to a section, a0 a1 a2 b1 b2.
  std::istringstream lines(text);
  std::vector<float> values;
  for (std::string line; std::getline(lines, line);) values.push_back(static_cast<float>(ParseValue(line.c_str())));
  Cascade cascade;
  for (size_t i = 0; i + kLinesPerSection <= values.size(); i += kLinesPerSection) {
    cascade.push_back({{values[i], values[i + 1], values[i + 2]}, {1.0, values[i + 3], values[i + 4]}});
  }
  return cascade;
}
