#include "fir/tavrine_tuning.h"

#include <cmath>
#include <sstream>

#include "core/filter_type.h"
#include "core/textio.h"
#include "fir/fir_design.h"
#include "fir/tap_file.h"
#include "fir/tavrine_limits.h"

TavrineTuner::TavrineTuner(const TavrineDesign& start)
    : TableTuner(start, kTavrineParameters, kTavrineLimits, &TavrineDesign::fsamp) {}

std::string TavrineTuner::Opening(int field) const {
  const TavrineDesign& d = design();
  const std::string type = kTypeNames[d.type];
  const std::string samples = std::to_string(d.bins) + " frequency samples";
  const std::string edges = IsBand(d.type)
                                ? "edges at " + Hz(static_cast<float>(Value(kEdge1))) + " and " +
                                      Hz(static_cast<float>(Value(kEdge2)))
                                : "edge at " + Hz(static_cast<float>(Value(kEdge1)));
  switch (field) {
    case kEdge1:
      return "with " + samples + " a " + type +
             (IsBand(d.type) ? " with its upper edge at " + Hz(static_cast<float>(Value(kEdge2))) : "");
    case kEdge2:
      return "with " + samples + " a " + type + " with its lower edge at " + Hz(static_cast<float>(Value(kEdge1)));
    case kTaps:
      return "with " + samples + " a " + type;
    case kBins:
      return "a " + type + " of " + std::to_string(d.taps) + " taps asked with its " + edges;
    case kFsamp:
      return "with " + samples + " a " + type + " with its " + edges;
    default:
      return "with " + samples + " a " + type;
  }
}

std::string TavrineTuner::Closing(int field) const {
  return field == kFsamp || field == kAlpha ? "" : ", at " + Hz(design().fsamp);
}

std::string TavrineTuner::Refusal() const {
  if (const TavrineLimit* refusal = TavrineRefusal(design())) {
    return std::string(refusal->variable) + "|" + RefusalText(*refusal, design()).text;
  }
  return TavrineSearchVerdict(design());
}

const TavrineMade& TavrineTuner::Result() const {
  Made();
  return made_;
}

std::vector<SpecBand> TavrineTuner::Specification() const {
  const TavrineDesign& d = design();
  if (!HasSpecification(d)) return {};
  const double dp = PassDeviation(d.ripple_db);
  const double ceiling = 20.0 * std::log10(1.0 + dp), floor = 20.0 * std::log10(1.0 - dp);
  std::vector<SpecBand> bands;
  for (const RemezBand& b : TavrineBands(d)) {
    const bool pass = b.gain != 0.0;
    bands.push_back({b.lower * d.fsamp, b.upper * d.fsamp, pass, pass ? floor : -d.stopband_db,
                     pass ? ceiling : -d.stopband_db});
  }
  return bands;
}

// The count made and, band by band, how the file's taps meet the
// specification: "pass band 0 to 1000 Hz: 0.098 dB ripple, 0.002 dB to
// spare".
std::string TavrineTuner::SpecificationWords() const {
  const TavrineDesign& d = design();
  const TavrineMade& made = Result();
  std::string words;
  if (d.taps == kAutoTaps) {
    words = made.found ? "the fewest that meet the specification"
                       : "no count up to " + std::to_string(made.searched) + " meets the specification";
  } else {
    words = made.met ? "the specification met" : "the specification not met";
  }
  const auto db = [](double v) { return FormatNumber("%.3f", v) + " dB"; };
  const std::vector<double> file = FileTaps(Made().values.data(), made.taps);
  for (const RemezBand& b : TavrineBands(d)) {
    const BandMeasure m = MeasureBands(file, {b});
    const bool pass = b.gain != 0.0;
    words += std::string(pass ? "; pass band " : "; stop band ") + Hz(static_cast<float>(b.lower * d.fsamp)) +
             " to " + Hz(static_cast<float>(b.upper * d.fsamp)) + ": " +
             (pass ? db(m.ripple_db) + " ripple, " + db(d.ripple_db - m.ripple_db)
                   : db(m.attenuation_db) + " down, " + db(m.attenuation_db - d.stopband_db)) +
             " to spare";
  }
  return words;
}

std::string TavrineTuner::Words() const {
  const TavrineDesign& d = design();
  if (HasSpecification(d)) {
    const TavrineMade& made = Result();
    const bool band = IsBand(d.type);
    const std::string edges = band ? "edges " + Hz(static_cast<float>(Value(kEdge1))) + " and " +
                                         Hz(static_cast<float>(Value(kEdge2)))
                                   : "edge " + Hz(static_cast<float>(Value(kEdge1)));
    const std::string window = d.method == kWindowMethod ? ", Kaiser alpha " + ShortestDecimal(static_cast<float>(KaiserBeta(d.stopband_db))) + ", " +
                                                               std::to_string(d.bins) + " frequency samples"
                                                         : "";
    return kTypeNames[d.type] + std::string(d.method == kWindowMethod ? " by the window: " : " by equiripple: ") +
           std::to_string(made.taps) + (made.taps == 1 ? " tap designed" : " taps designed") + window + ", " + edges +
           ", transition " + Hz(d.transition_hz) + ", ripple " + ShortestDecimal(d.ripple_db) + " dB, stop band " +
           ShortestDecimal(d.stopband_db) + " dB down; " + SpecificationWords() + "; sampling " + Hz(d.fsamp);
  }
  const int designed = DesignedTapCount(d.taps);
  const bool band = IsBand(d.type);
  const std::string edges = band ? "edges " + Hz(static_cast<float>(Value(kEdge1))) + " and " +
                                       Hz(static_cast<float>(Value(kEdge2)))
                                 : "edge " + Hz(static_cast<float>(Value(kEdge1)));
  return kTypeNames[d.type] + std::string(": ") + std::to_string(designed) +
         (designed == 1 ? " tap designed (" : " taps designed (") + std::to_string(d.taps) +
         " asked), Kaiser alpha " + ShortestDecimal(d.alpha) + ", " + std::to_string(d.bins) +
         " frequency samples, " + edges + "; sampling " + Hz(d.fsamp);
}

CoeffSet MakeTavrine(const TavrineDesign& design, TavrineMade* made) {
  const TavrineMade result = MakeTavrineDesign(design);
  if (made) *made = result;
  return {CoeffKind::kFir, DesignedTaps(hh)};
}

Cascade TavrineTuner::Design() const {
  // The taps designed, without the file's final zero tap of an even request.
  const std::vector<float>& taps = Made().values;
  return {{{taps.begin(), taps.begin() + made_.taps}, {1.0}}};
}

Cascade TavrineTuner::FromFile(const std::string& text) const {
  // As sunnaq reads it.
  return CascadeOf(ParseAsViewer(CoeffKind::kFir, text).coefficients);
}
