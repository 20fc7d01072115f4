#include "fir/tavrine_tuning.h"

#include "core/filter_type.h"
#include "core/state.h"
#include "fir/fir_design.h"
#include "fir/tap_file.h"
#include "fir/tavrine_limits.h"

namespace {

constexpr int kLastAlpha = 919;  // 91.9 in steps of 0.1

// The design's edge 1 and edge 2 of its type; a low- or high-pass has no
// edge 2.
float* Edge(TavrineDesign& d, int control) {
  switch (d.type) {
    case kLowPass:
      return control == TavrineTuner::kEdge1 ? &d.lpf_fc1 : nullptr;
    case kHighPass:
      return control == TavrineTuner::kEdge1 ? &d.hpf_fc1 : nullptr;
    case kBandPass:
      return control == TavrineTuner::kEdge1 ? &d.bpf_fc1 : &d.bpf_fc2;
    default:
      return control == TavrineTuner::kEdge1 ? &d.brf_fc1 : &d.brf_fc2;
  }
}

}  // namespace

TavrineTuner::TavrineTuner(const TavrineDesign& start)
    : design_(start),
      frequency_step_(FrequencyStep(start.fsamp)),
      last_edge_(LastPosition(static_cast<double>(start.fsamp) / 2.0, frequency_step_)) {}

std::vector<TunerControl> TavrineTuner::Controls() const {
  const std::string unit = FrequencyUnit(frequency_step_);
  return {{"type: 0 low-pass 1 high-pass 2 band-pass 3 band-reject", 3},
          {"requested taps", kMaxTaps},
          {"Kaiser alpha [0.1]", kLastAlpha},
          {"frequency samples", kMaxBins},
          {"edge 1 [" + unit + "]", last_edge_},
          {"edge 2 [" + unit + "] (band types)", last_edge_}};
}

int TavrineTuner::Position(int control) const {
  switch (control) {
    case kType:
      return design_.type;
    case kTaps:
      return design_.taps;
    case kAlpha:
      return NearestPosition(design_.alpha, kTenthStep, kLastAlpha);
    case kBins:
      return design_.bins;
    default:
      return NearestPosition(Value(control), frequency_step_, last_edge_);
  }
}

TavrineDesign TavrineTuner::With(int control, int position) const {
  TavrineDesign d = design_;
  switch (control) {
    case kType:
      d.type = position;
      break;
    case kTaps:
      d.taps = position;
      break;
    case kAlpha:
      d.alpha = StepValue(position, kTenthStep);
      break;
    case kBins:
      d.bins = position;
      break;
    default:
      if (float* edge = Edge(d, control)) *edge = StepValue(position, frequency_step_);
  }
  return d;
}

std::string TavrineTuner::RefusalWith(int control, int position) const {
  const TavrineLimit* refusal = TavrineRefusal(With(control, position));
  return refusal ? std::string(refusal->variable) + ": allowed " + refusal->allowed : "";
}

std::vector<int> TavrineTuner::Corners() const {
  if (IsBand(design_.type)) return {kEdge1, kEdge2};
  return {kEdge1};
}

float TavrineTuner::Value(int control) const {
  TavrineDesign d = design_;
  const float* edge = Edge(d, control);
  return edge ? *edge : 0.0f;
}

std::string TavrineTuner::Words() const {
  const int designed = DesignedTapCount(design_.taps);
  const bool band = IsBand(design_.type);
  const std::string edges = band ? "edges " + ShortestDecimal(Value(kEdge1)) + " Hz and " +
                                       ShortestDecimal(Value(kEdge2)) + " Hz"
                                 : "edge " + ShortestDecimal(Value(kEdge1)) + " Hz";
  return kTypeNames[design_.type] + std::string(": ") + std::to_string(designed) + " taps designed (" +
         std::to_string(design_.taps) + " asked), Kaiser alpha " + ShortestDecimal(design_.alpha) + ", " +
         std::to_string(design_.bins) + " frequency samples, " + edges + "; sampling " +
         ShortestDecimal(design_.fsamp) + " Hz";
}

std::string TavrineTuner::OptionsLine() const {
  return "-DTAVRINE_TYPE=" + std::string(kTypeNames[design_.type]) +
         " -DTAVRINE_TAPS=" + std::to_string(design_.taps) +
         " -DTAVRINE_ALPHA=" + ShortestDecimal(design_.alpha) +
         " -DTAVRINE_BINS=" + std::to_string(design_.bins) +
         " -DTAVRINE_LPF_FC1=" + ShortestDecimal(design_.lpf_fc1) +
         " -DTAVRINE_HPF_FC1=" + ShortestDecimal(design_.hpf_fc1) +
         " -DTAVRINE_BPF_FC1=" + ShortestDecimal(design_.bpf_fc1) +
         " -DTAVRINE_BPF_FC2=" + ShortestDecimal(design_.bpf_fc2) +
         " -DTAVRINE_BRF_FC1=" + ShortestDecimal(design_.brf_fc1) +
         " -DTAVRINE_BRF_FC2=" + ShortestDecimal(design_.brf_fc2) +
         " -DTAVRINE_FSAMP=" + ShortestDecimal(design_.fsamp);
}

void TavrineTuner::Respond() const {
  MakeTavrineDesign(design_);
  CalcFres(Gain, Theta);
}

void TavrineTuner::WriteFile() const { TxtSave("coeff1.txt", hh); }
