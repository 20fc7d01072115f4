#include "fir/tavrine_tuning.h"

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

std::string TavrineTuner::Words() const {
  const TavrineDesign& d = design();
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

void TavrineTuner::Make() const {
  Remake();
  CalcFres(Gain, Theta);
}

CoeffSet MakeTavrine(const TavrineDesign& design) {
  MakeTavrineDesign(design);
  return {CoeffKind::kFir, DesignedTaps(hh)};
}

Cascade TavrineTuner::Design() const {
  // The taps designed, without the file's final zero tap of an even request.
  const std::vector<float>& taps = Made().values;
  return {{{taps.begin(), taps.begin() + DesignedTapCount(design().taps)}, {1.0}}};
}

Cascade TavrineTuner::FromFile(const std::string& text) const {
  // As sunnaq reads it.
  return CascadeOf(ParseAsViewer(CoeffKind::kFir, text).coefficients);
}
