#include "fir/tavrine_tuning.h"

#include <sstream>

#include "core/filter_type.h"
#include "core/textio.h"
#include "fir/fir_design.h"
#include "fir/tap_file.h"
#include "fir/tavrine_limits.h"

namespace {

const char* const kVariables[] = {"TAVRINE_TYPE",    "TAVRINE_TAPS",    "TAVRINE_ALPHA",   "TAVRINE_BINS",
                                  "TAVRINE_LPF_FC1", "TAVRINE_HPF_FC1", "TAVRINE_BPF_FC1", "TAVRINE_BPF_FC2",
                                  "TAVRINE_BRF_FC1", "TAVRINE_BRF_FC2", "TAVRINE_FSAMP"};

std::string Hz(float v) { return ShortestDecimal(v) + " Hz"; }

// The design's edge 1 or edge 2 of its type, and its variable; a low- or
// high-pass has no edge 2.
float* EdgeOf(TavrineDesign& d, int field) {
  const bool first = field == TavrineTuner::kEdge1;
  switch (d.type) {
    case kLowPass:
      return first ? &d.lpf_fc1 : nullptr;
    case kHighPass:
      return first ? &d.hpf_fc1 : nullptr;
    case kBandPass:
      return first ? &d.bpf_fc1 : &d.bpf_fc2;
    default:
      return first ? &d.brf_fc1 : &d.brf_fc2;
  }
}

float* VariableAddress(TavrineDesign& d, const std::string& variable) {
  float* const addresses[] = {&d.lpf_fc1, &d.hpf_fc1, &d.bpf_fc1, &d.bpf_fc2, &d.brf_fc1, &d.brf_fc2, &d.fsamp};
  for (int i = 0; i < 7; ++i) {
    if (variable == kVariables[4 + i]) return addresses[i];
  }
  return variable == "TAVRINE_ALPHA" ? &d.alpha : nullptr;
}

}  // namespace

TavrineTuner::TavrineTuner(const TavrineDesign& start)
    : design_(start), saved_(start), decimals_(FrequencyDecimals(start.fsamp)) {}

std::vector<Field> TavrineTuner::Fields() const {
  const double half = static_cast<double>(design_.fsamp) / 2.0;
  const bool band = IsBand(design_.type);
  return {{"type", FieldKind::kChoice, "", 0, 3, 0, false},
          {"requested taps", FieldKind::kWhole, "", 1, kMaxTaps, 0, false},
          {"Kaiser alpha", FieldKind::kNumber, "", 0, TAVRINE_MOST_ALPHA, 1, false},
          {"frequency samples", FieldKind::kWhole, "", 1, kMaxBins, 0, false},
          {band ? "lower edge" : "edge", FieldKind::kNumber, "Hz", 0, half, decimals_, true},
          {"upper edge", FieldKind::kNumber, "Hz", 0, half, decimals_, true},
          {"sampling frequency", FieldKind::kNumber, "Hz", TAVRINE_LOWEST_FSAMP, TAVRINE_HIGHEST_FSAMP, decimals_,
           false}};
}

std::vector<std::string> TavrineTuner::Choices(int) const { return {kTypeNames, kTypeNames + kTypeCount}; }

double TavrineTuner::Value(int field) const {
  TavrineDesign d = design_;
  switch (field) {
    case kType:
      return d.type;
    case kTaps:
      return d.taps;
    case kAlpha:
      return d.alpha;
    case kBins:
      return d.bins;
    case kFsamp:
      return d.fsamp;
    default: {
      const float* edge = EdgeOf(d, field);
      return edge ? *edge : 0.0;
    }
  }
}

bool TavrineTuner::Uses(int field) const { return field != kEdge2 || IsBand(design_.type); }

std::string TavrineTuner::Name(int field) const {
  switch (field) {
    case kEdge1:
      return IsBand(design_.type) ? "lower edge" : "edge";
    case kEdge2:
      return "upper edge";
    default:
      return Fields()[static_cast<size_t>(field)].label;
  }
}

TavrineDesign TavrineTuner::With(int field, double value) const {
  TavrineDesign d = design_;
  switch (field) {
    case kType:
      d.type = static_cast<int>(value);
      break;
    case kTaps:
      d.taps = static_cast<int>(value);
      break;
    case kAlpha:
      d.alpha = static_cast<float>(value);
      break;
    case kBins:
      d.bins = static_cast<int>(value);
      break;
    case kFsamp:
      d.fsamp = static_cast<float>(value);
      break;
    default:
      if (float* edge = EdgeOf(d, field)) *edge = static_cast<float>(value);
  }
  return d;
}

std::string TavrineTuner::Variable(int field) const {
  switch (field) {
    case kEdge1:
    case kEdge2: {
      const int first[] = {4, 5, 6, 8};
      return kVariables[first[design_.type] + (field == kEdge2 ? 1 : 0)];
    }
    case kFsamp:
      return "TAVRINE_FSAMP";
    default:
      return kVariables[field];
  }
}

std::string TavrineTuner::RefusalWith(int field, double value) const {
  const TavrineLimit* refusal = TavrineRefusal(With(field, value));
  return refusal ? refusal->variable : "";
}

std::string TavrineTuner::Opening(int field) const {
  const std::string type = kTypeNames[design_.type];
  const std::string samples = std::to_string(design_.bins) + " frequency samples";
  const std::string edges = IsBand(design_.type)
                                ? "edges at " + Hz(static_cast<float>(Value(kEdge1))) + " and " +
                                      Hz(static_cast<float>(Value(kEdge2)))
                                : "edge at " + Hz(static_cast<float>(Value(kEdge1)));
  switch (field) {
    case kEdge1:
      return "with " + samples + " a " + type +
             (IsBand(design_.type) ? " with its upper edge at " + Hz(static_cast<float>(Value(kEdge2))) : "");
    case kEdge2:
      return "with " + samples + " a " + type + " with its lower edge at " + Hz(static_cast<float>(Value(kEdge1)));
    case kTaps:
      return "with " + samples + " a " + type;
    case kBins:
      return "a " + type + " of " + std::to_string(design_.taps) + " taps asked with its " + edges;
    case kFsamp:
      return "with " + samples + " a " + type + " with its " + edges;
    default:
      return "with " + samples + " a " + type;
  }
}

std::string TavrineTuner::Closing(int field) const {
  return field == kFsamp || field == kAlpha ? "" : ", at " + Hz(design_.fsamp);
}

std::string TavrineTuner::Words() const {
  const int designed = DesignedTapCount(design_.taps);
  const bool band = IsBand(design_.type);
  const std::string edges = band ? "edges " + Hz(static_cast<float>(Value(kEdge1))) + " and " +
                                       Hz(static_cast<float>(Value(kEdge2)))
                                 : "edge " + Hz(static_cast<float>(Value(kEdge1)));
  return kTypeNames[design_.type] + std::string(": ") + std::to_string(designed) +
         (designed == 1 ? " tap designed (" : " taps designed (") + std::to_string(design_.taps) +
         " asked), Kaiser alpha " + ShortestDecimal(design_.alpha) + ", " + std::to_string(design_.bins) +
         " frequency samples, " + edges + "; sampling " + Hz(design_.fsamp);
}

std::string TavrineTuner::OptionsLine() const {
  // What the design uses: the edges of its type only (the configure's
  // defaults for the other types' edges are accepted at any rate).
  std::string edges;
  for (int field : {kEdge1, kEdge2}) {
    if (Uses(field)) edges += " -D" + Variable(field) + "=" + ShortestDecimal(static_cast<float>(Value(field)));
  }
  return "-DTAVRINE_TYPE=" + std::string(kTypeNames[design_.type]) + " -DTAVRINE_TAPS=" + std::to_string(design_.taps) +
         " -DTAVRINE_ALPHA=" + ShortestDecimal(design_.alpha) + " -DTAVRINE_BINS=" + std::to_string(design_.bins) +
         edges + " -DTAVRINE_FSAMP=" + ShortestDecimal(design_.fsamp);
}

std::vector<std::string> TavrineTuner::Variables() const { return {std::begin(kVariables), std::end(kVariables)}; }

void TavrineTuner::AssignVariable(const std::string& variable, double value) {
  if (float* address = VariableAddress(design_, variable)) {
    *address = static_cast<float>(value);
  } else if (variable == "TAVRINE_TYPE") {
    design_.type = static_cast<int>(value);
  } else if (variable == "TAVRINE_TAPS") {
    design_.taps = static_cast<int>(value);
  } else if (variable == "TAVRINE_BINS") {
    design_.bins = static_cast<int>(value);
  }
}

std::string TavrineTuner::Refusal() const {
  const TavrineLimit* refusal = TavrineRefusal(design_);
  return refusal ? std::string(refusal->variable) + "|" + refusal->allowed : "";
}

std::string TavrineTuner::VariableText(const std::string& variable) const {
  TavrineDesign d = design_;
  if (const float* address = VariableAddress(d, variable)) return ShortestDecimal(*address);
  if (variable == "TAVRINE_TYPE") return kTypeNames[d.type];
  return std::to_string(variable == "TAVRINE_TAPS" ? d.taps : d.bins);
}

void TavrineTuner::Make() const {
  MakeTavrineDesign(design_);
  CalcFres(Gain, Theta);
}

Cascade TavrineTuner::Design() const { return {{{hh, hh + TapN}, {1.0}}}; }

std::string TavrineTuner::FileText() const { return TapFileText(hh); }

std::vector<float> TavrineTuner::Coefficients() const {
  // The taps designed, and the file's final zero tap of an even request.
  std::vector<float> taps(hh, hh + TapN);
  if (evenTap == 1) taps.push_back(0.0f);
  return taps;
}

Cascade TavrineTuner::FromFile(const std::string& text) const {
  // As the viewer reads: each line a tap narrowed to single precision.
  std::istringstream lines(text);
  Section taps{{}, {1.0}};
  for (std::string line; std::getline(lines, line);) taps.b.push_back(static_cast<float>(ParseValue(line.c_str())));
  return {taps};
}
