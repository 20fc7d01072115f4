// tavrine's parameters as the fields of its live tuner: type, method,
// requested taps, Kaiser alpha, frequency samples, the edges of the chosen
// type (edge 2 for the band types only), the band requirement
// (transition width, ripple, stop band attenuation; shown where the design
// has one) and the sampling frequency. Each type
// keeps its own edges when the type changes. Every design the tuner holds
// is one that tavrine's limits accept (fir/tavrine_limits.h).
#pragma once

#include "fir/tavrine_design.h"
#include "fir/tavrine_parameter_table.h"
#include "tune/table_tuner.h"

// The design that tavrine's chain makes (MakeTavrineDesign): the values that its
// file holds. This is where the tuner's side runs the chain, and rewrites
// its state.
CoeffSet MakeTavrine(const TavrineDesign& design, TavrineMade* made = nullptr);

class TavrineTuner final : public TableTuner<TavrineDesign> {
 public:
  enum FieldIndex { kType, kMethod, kTaps, kAlpha, kBins, kEdge1, kEdge2, kTransition, kRipple, kStopband, kFsamp };

  // Starts on `start`, which the limits are expected to accept.
  explicit TavrineTuner(const TavrineDesign& start);

  const char* Program() const override { return "tavrine"; }
  std::string Words() const override;
  Cascade Design() const override;
  Cascade FromFile(const std::string& text) const override;
  CoeffKind Kind() const override { return CoeffKind::kFir; }
  double Attenuation() const override { return 0.0; }
  // The bands of the requirement, where the design has one.
  std::vector<SpecBand> Requirement() const override;
  // What the present design made: the taps, and how they meet the
  // requirement.
  const TavrineMade& Result() const;

 private:
  CoeffSet MakeOf(const TavrineDesign& design) const override { return MakeTavrine(design, &made_); }
  std::string RequirementWords() const;
  // The limits' refusal, else that of the search for the fewest taps
  // (TavrineSearchVerdict), as the configure says it.
  std::string Refusal() const override;
  std::string Opening(int field) const override;
  std::string Closing(int field) const override;

  mutable TavrineMade made_;  // of the design that Made() holds
};
