// tavrine's parameters as the trackbars of its live tuner: type, requested
// taps, Kaiser alpha, frequency samples, and the edges of the chosen type
// (edge 2 for the band types only). The sampling frequency stays the
// configured one; each type keeps its own edges when the type changes.
// Every design the tuner holds is one that tavrine's limits accept
// (fir/tavrine_limits.h).
#pragma once

#include "fir/tavrine_design.h"
#include "tune/tuning.h"

class TavrineTuner final : public Tuner {
 public:
  enum Control { kType, kTaps, kAlpha, kBins, kEdge1, kEdge2 };

  // Starts on `start`, which the limits are expected to accept.
  explicit TavrineTuner(const TavrineDesign& start);
  const TavrineDesign& design() const { return design_; }

  std::vector<TunerControl> Controls() const override;
  int Position(int control) const override;
  std::string OptionsLine() const override;
  void Respond() const override;

 private:
  TavrineDesign With(int control, int position) const;
  std::string RefusalWith(int control, int position) const override;
  void Assign(int control, int position) override { design_ = With(control, position); }
  bool Graded(int control) const override { return control != kType; }
  std::vector<int> Corners() const override;
  float Value(int control) const override;
  Step StepOf(int control) const override { return control == kAlpha ? kTenthStep : frequency_step_; }
  std::string Words() const override;
  void WriteFile() const override;

  TavrineDesign design_;
  Step frequency_step_;
  int last_edge_;  // position of fsamp / 2
};
