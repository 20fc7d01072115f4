#include "iir/pelmora_tuning.h"

#include "core/filter_type.h"
#include "core/state.h"
#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/pelmora_limits.h"

namespace {

constexpr int kLastAttenuation = 600;  // 60 dB in steps of 0.1 dB


}  // namespace

PelmoraTuner::PelmoraTuner(const PelmoraDesign& start)
    : design_(start),
      frequency_step_(FrequencyStep(start.fsamp)),
      last_corner_(LastPosition(static_cast<double>(start.fsamp) / 2.0, frequency_step_)) {}

std::vector<TunerControl> PelmoraTuner::Controls() const {
  const std::string unit = FrequencyUnit(frequency_step_);
  return {{"type: 0 low-pass 1 high-pass 2 band-pass 3 band-reject", 3},
          {"order", 2},
          {"lower corner [" + unit + "]", last_corner_},
          {"upper corner [" + unit + "]", last_corner_},
          {"attenuation [0.1 dB]", kLastAttenuation}};
}

int PelmoraTuner::Position(int control) const {
  switch (control) {
    case kType:
      return design_.type;
    case kOrder:
      return design_.order;
    case kAttenuation:
      return NearestPosition(design_.attenuation_db, kTenthStep, kLastAttenuation);
    default:
      return NearestPosition(Value(control), frequency_step_, last_corner_);
  }
}

PelmoraDesign PelmoraTuner::With(int control, int position) const {
  PelmoraDesign d = design_;
  switch (control) {
    case kType:
      d.type = position;
      break;
    case kOrder:
      d.order = position;
      break;
    case kLowerCorner:
      d.fc1 = StepValue(position, frequency_step_);
      break;
    case kUpperCorner:
      d.fc2 = StepValue(position, frequency_step_);
      break;
    case kAttenuation:
      d.attenuation_db = StepValue(position, kTenthStep);
      break;
  }
  return d;
}

std::string PelmoraTuner::RefusalWith(int control, int position) const {
  const PelmoraLimit* refusal = PelmoraRefusal(With(control, position));
  return refusal ? std::string(refusal->variable) + ": allowed " + refusal->allowed : "";
}

std::vector<int> PelmoraTuner::Corners() const {
  if (IsBand(design_.type)) return {kLowerCorner, kUpperCorner};
  return {kLowerCorner};
}

float PelmoraTuner::Value(int control) const { return control == kUpperCorner ? design_.fc2 : design_.fc1; }

std::string PelmoraTuner::Words() const {
  const std::string corners = IsBand(design_.type)
                                  ? "corners " + ShortestDecimal(design_.fc1) + " Hz and " +
                                        ShortestDecimal(design_.fc2) + " Hz, "
                                  : "corner " + ShortestDecimal(design_.fc1) + " Hz, ";
  return kTypeNames[design_.type] + std::string(" of order ") + std::to_string(design_.order) + ": " + corners +
         ShortestDecimal(design_.attenuation_db) + " dB down; sampling " + ShortestDecimal(design_.fsamp) + " Hz";
}

std::string PelmoraTuner::OptionsLine() const {
  return "-DPELMORA_TYPE=" + std::string(kTypeNames[design_.type]) +
         " -DPELMORA_ORDER=" + std::to_string(design_.order) +
         " -DPELMORA_FC1=" + ShortestDecimal(design_.fc1) +
         " -DPELMORA_FC2=" + ShortestDecimal(design_.fc2) +
         " -DPELMORA_ATTENUATION_DB=" + ShortestDecimal(design_.attenuation_db) +
         " -DPELMORA_FSAMP=" + ShortestDecimal(design_.fsamp);
}

void PelmoraTuner::Respond() const {
  MakePelmoraDesign(design_);
  CalcFres(Gain, Theta);
}

void PelmoraTuner::WriteFile() const { TxtSave("coeff1.txt"); }
