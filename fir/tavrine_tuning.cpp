#include "fir/tavrine_tuning.h"

#include <algorithm>
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

std::vector<SpecBand> TavrineTuner::Requirement() const {
  const TavrineDesign& d = design();
  if (!HasRequirement(d)) return {};
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
// requirement: "pass band 0 to 1000 Hz: 0.098 dB ripple, 0.002 dB to
// spare".
std::string TavrineTuner::RequirementWords() const {
  const TavrineDesign& d = design();
  const TavrineMade& made = Result();
  std::string words;
  if (d.taps == kAutoTaps) {
    words = made.found ? "the fewest for the bands" : "none up to " + std::to_string(made.searched) + " meets the bands";
  } else {
    words = made.met ? "the bands met" : "the bands not met";
  }
  // The least margin of each kind of band, as the file's taps meet it.
  const std::vector<double> file = FileTaps(Made().values.data(), made.taps);
  double pass = 1e300, stop = 1e300;
  for (const RemezBand& b : TavrineBands(d)) {
    const BandMeasure m = MeasureBands(file, {b});
    if (b.gain != 0.0) pass = std::min(pass, d.ripple_db - m.ripple_db);
    if (b.gain == 0.0) stop = std::min(stop, m.attenuation_db - d.stopband_db);
  }
  return words + "; margins in coeff1.txt: pass band " + FormatNumber("%.3f", pass) + " dB, stop band " +
         FormatNumber("%.3f", stop) + " dB";
}

std::string TavrineTuner::Words() const {
  const TavrineDesign& d = design();
  if (HasRequirement(d)) {
    const TavrineMade& made = Result();
    const bool band = IsBand(d.type);
    const std::string edges = band ? "edges " + Hz(static_cast<float>(Value(kEdge1))) + " and " +
                                         Hz(static_cast<float>(Value(kEdge2)))
                                   : "edge " + Hz(static_cast<float>(Value(kEdge1)));
    const std::string window =
        d.method == kWindowMethod
            ? "; Kaiser alpha " + ShortestDecimal(static_cast<float>(KaiserBeta(d.stopband_db))) + ", " +
                  std::to_string(d.bins) + " frequency samples"
            : "";
    return kTypeNames[d.type] + std::string(d.method == kWindowMethod ? " by the window: " : " by equiripple: ") +
           std::to_string(made.taps) + (made.taps == 1 ? " tap, " : " taps, ") + RequirementWords() + window +
           "; " + edges + "; sampling " + Hz(d.fsamp);
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
