#include "iir/pelmora_tuning.h"

#include <sstream>

#include "core/filter_type.h"
#include "core/textio.h"
#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_design.h"
#include "iir/pelmora_limits.h"

PelmoraTuner::PelmoraTuner(const PelmoraDesign& start)
    : TableTuner(start, kPelmoraParameters, kPelmoraLimits, &PelmoraDesign::fsamp) {}

std::string PelmoraTuner::Opening(int field) const {
  const PelmoraDesign& d = design();
  const std::string type = kTypeNames[d.type] + std::string(" of order ") + std::to_string(d.order);
  const std::string corners = IsBand(d.type) ? "corners at " + Hz(d.fc1) + " and " + Hz(d.fc2)
                                                   : "corner at " + Hz(d.fc1);
  const std::string at = "at " + ShortestDecimal(d.attenuation_db) + " dB a " + type;
  switch (field) {
    case kLowerCorner:
      return IsBand(d.type) ? at + " with its upper corner at " + Hz(d.fc2) : at;
    case kUpperCorner:
      return at + " with its lower corner at " + Hz(d.fc1);
    case kAttenuation:
      return "a " + type + " with its " + corners;
    case kFsamp:
      return at + " with its " + corners;
    default:
      return "a " + type;
  }
}

std::string PelmoraTuner::Closing(int field) const {
  return field == kFsamp ? "" : ", at " + Hz(design().fsamp);
}

std::string PelmoraTuner::Words() const {
  const PelmoraDesign& d = design();
  const std::string corners = IsBand(d.type) ? "corners " + Hz(d.fc1) + " and " + Hz(d.fc2)
                                                   : "corner " + Hz(d.fc1);
  return kTypeNames[d.type] + std::string(" of order ") + std::to_string(d.order) + ": " + corners +
         ", " + ShortestDecimal(d.attenuation_db) + " dB down; sampling " + Hz(d.fsamp);
}

void PelmoraTuner::Make() const {
  Remake();
  CalcFres(Gain, Theta);
}

CoeffSet MakePelmora(const PelmoraDesign& design) {
  MakePelmoraDesign(design);
  return {CoeffKind::kBiquad, DesignedCoefficients()};
}

Cascade PelmoraTuner::Design() const { return CascadeOf(Made()); }

Cascade PelmoraTuner::FromFile(const std::string& text) const {
  // As corvell reads it, a partly filled last section completed.
  return CascadeOf(ParseAsViewer(CoeffKind::kBiquad, text).coefficients);
}
