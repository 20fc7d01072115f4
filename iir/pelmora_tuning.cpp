#include "iir/pelmora_tuning.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "core/filter_type.h"
#include "core/textio.h"
#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_design.h"
#include "iir/pelmora_limits.h"

PelmoraTuner::PelmoraTuner(const PelmoraDesign& start)
    : TableTuner(start, kPelmoraParameters, kPelmoraLimits, &PelmoraDesign::fsamp) {}

namespace {

// The families in words, by code.
const char* const kFamilyWords[iirproto::kFamilyCount] = {"Butterworth", "Chebyshev I", "Chebyshev II", "elliptic",
                                                          "Bessel"};

// A band's margin in dB, three decimals: negative where it misses.
std::string Margin(double db) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f dB", db < 0.0 && db > -0.0005 ? 0.0 : db);
  return text;
}

}  // namespace

// "band-pass of order 2" (the Butterworth chain), "elliptic low-pass of
// order 6" (a family design, its order found with auto).
std::string PelmoraTuner::KindWords() const {
  const PelmoraDesign& d = design();
  const int order = d.order == kAutoOrder ? FamilySections(d).order : d.order;
  const std::string type = kTypeNames[d.type] + std::string(" of order ") + std::to_string(order);
  if (d.family == iirproto::kButterworth && d.order != kAutoOrder) return type;
  return std::string(kFamilyWords[d.family]) + " " + type;
}

std::string PelmoraTuner::Opening(int field) const {
  const PelmoraDesign& d = design();
  const std::string kind = KindWords();
  const std::string type = (kind[0] == 'e' ? "an " : "a ") + kind;
  const std::string corners = IsBand(d.type) ? "corners at " + Hz(d.fc1) + " and " + Hz(d.fc2)
                                                   : "corner at " + Hz(d.fc1);
  const std::string at = "at " + ShortestDecimal(static_cast<float>(Attenuation())) + " dB " + type;
  switch (field) {
    case kLowerCorner:
      return IsBand(d.type) ? at + " with its upper corner at " + Hz(d.fc2) : at;
    case kUpperCorner:
      return at + " with its lower corner at " + Hz(d.fc1);
    case kAttenuation:
      return type + " with its " + corners;
    case kFsamp:
      return at + " with its " + corners;
    default:
      return type;
  }
}

std::string PelmoraTuner::Closing(int field) const {
  return field == kFsamp ? "" : ", at " + Hz(design().fsamp);
}

std::string PelmoraTuner::Words() const {
  const PelmoraDesign& d = design();
  const std::string sampling = "; sampling " + Hz(d.fsamp);
  if (d.order == kAutoOrder) {
    // The order found, and the margins of the design and of its file.
    const iirfamily::Sections sections = FamilySections(d);
    const iirfamily::Request request = RequestOf(d);
    const iirfamily::Margins design = iirfamily::MarginsOf(sections, request);
    const iirfamily::Margins file = iirfamily::MarginsOf(iirfamily::Stored(sections, true), request);
    return KindWords() + ", the least for the bands; margins: pass band " + Margin(design.pass_db) + ", stop band " +
           Margin(design.stop_db) + "; coeff1.txt's: " + Margin(file.pass_db) + ", " + Margin(file.stop_db) + sampling;
  }
  const std::string corners = IsBand(d.type) ? "corners " + Hz(d.fc1) + " and " + Hz(d.fc2)
                                                   : "corner " + Hz(d.fc1);
  return KindWords() + ": " + corners + ", " + ShortestDecimal(static_cast<float>(Attenuation())) + " dB down" +
         sampling;
}

double PelmoraTuner::Attenuation() const {
  const PelmoraDesign& d = design();
  if (d.order == kAutoOrder) return d.ripple_db;
  switch (d.family) {
    case iirproto::kChebyshev1:
    case iirproto::kElliptic:
      return d.ripple_db;
    case iirproto::kChebyshev2:
      return d.stopband_db;
    case iirproto::kBessel:
      return iirfamily::kHalfPowerDb;
    default:
      return d.attenuation_db;
  }
}

std::string PelmoraTuner::Arrange(int field) {
  PelmoraDesign d = design();
  if ((field != kType && field != kOrder) || d.order != kAutoOrder) return "";
  if (pelmora_limits::Stop1InRange(d) && pelmora_limits::Stop2InRange(d)) return "";
  // A transition of half the corner's distance from its end of the band.
  const float half = d.fsamp / 2.0f;
  switch (d.type) {
    case kLowPass:
      d.stop1 = d.fc1 + (half - d.fc1) / 2.0f;
      break;
    case kHighPass:
      d.stop1 = d.fc1 / 2.0f;
      break;
    case kBandPass:
      d.stop1 = d.fc1 / 2.0f;
      d.stop2 = d.fc2 + (half - d.fc2) / 2.0f;
      break;
    default:
      d.stop1 = d.fc1 + (d.fc2 - d.fc1) / 4.0f;
      d.stop2 = d.fc2 - (d.fc2 - d.fc1) / 4.0f;
  }
  Replace(d);
  if (!IsBand(d.type)) return Name(kLowerStop) + " to " + Hz(d.stop1);
  return Name(kLowerStop) + " to " + Hz(d.stop1) + ", " + Name(kUpperStop) + " to " + Hz(d.stop2);
}

std::vector<SpecBand> PelmoraTuner::Requirement() const {
  const PelmoraDesign& d = design();
  if (d.order != kAutoOrder) return {};
  const double half = d.fsamp / 2.0, pass = -d.ripple_db, stop = -d.stopband_db;
  const SpecBand low_pass{0.0, d.fc1, true, pass, 0.0}, high_pass{d.fc1, half, true, pass, 0.0};
  switch (d.type) {
    case kLowPass:
      return {low_pass, {d.stop1, half, false, stop, stop}};
    case kHighPass:
      return {{0.0, d.stop1, false, stop, stop}, high_pass};
    case kBandPass:
      return {{0.0, d.stop1, false, stop, stop}, {d.fc1, d.fc2, true, pass, 0.0}, {d.stop2, half, false, stop, stop}};
    default:
      return {low_pass, {d.stop1, d.stop2, false, stop, stop}, {d.fc2, half, true, pass, 0.0}};
  }
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
