// pelmora's parameters as the fields of its live tuner: type, order,
// lower and upper corner, attenuation and sampling frequency. Every design
// the tuner holds is one that pelmora's limits accept
// (iir/pelmora_limits.h).
#pragma once

#include "iir/pelmora_design.h"
#include "iir/pelmora_parameter_table.h"
#include "tune/table_tuner.h"

// The design that pelmora's chain makes (MakePelmoraDesign): the values that its
// file holds. This is where the tuner's side runs the chain, and rewrites
// its state.
CoeffSet MakePelmora(const PelmoraDesign& design);

class PelmoraTuner final : public TableTuner<PelmoraDesign> {
 public:
  enum FieldIndex {
    kType,
    kFamily,
    kOrder,
    kLowerCorner,
    kUpperCorner,
    kLowerStop,
    kUpperStop,
    kAttenuation,
    kRipple,
    kStopband,
    kFsamp
  };

  // Starts on `start`, which the limits are expected to accept.
  explicit PelmoraTuner(const PelmoraDesign& start);

  const char* Program() const override { return "pelmora"; }
  std::string Words() const override;
  Cascade Design() const override;
  Cascade FromFile(const std::string& text) const override;
  CoeffKind Kind() const override { return CoeffKind::kBiquad; }
  // The loss at the corners: the attenuation asked of a Butterworth, a
  // Chebyshev I's or elliptic's ripple, a Chebyshev II's stop band, a
  // Bessel's half power; with auto, the ripple at the pass band's edges.
  double Attenuation() const override;
  std::vector<SpecBand> Requirement() const override;

 private:
  CoeffSet MakeOf(const PelmoraDesign& design) const override { return MakePelmora(design); }
  std::string Opening(int field) const override;
  std::string KindWords() const;
  // A band requirement's stop edges, where the type or order chosen
  // finds them out of place, put beyond the corners in proportion.
  std::string Arrange(int field) override;
  std::string Closing(int field) const override;
};
