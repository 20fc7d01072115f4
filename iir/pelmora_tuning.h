// pelmora's parameters as the trackbars of its live tuner: type, order,
// lower and upper corner, attenuation. The sampling frequency stays the
// configured one. Every design the tuner holds is one that pelmora's
// limits accept (iir/pelmora_limits.h).
#pragma once

#include "iir/pelmora_design.h"
#include "tune/tuning.h"

class PelmoraTuner final : public Tuner {
 public:
  enum Control { kType, kOrder, kLowerCorner, kUpperCorner, kAttenuation };

  // Starts on `start`, which the limits are expected to accept.
  explicit PelmoraTuner(const PelmoraDesign& start);
  const PelmoraDesign& design() const { return design_; }

  std::vector<TunerControl> Controls() const override;
  int Position(int control) const override;
  std::string OptionsLine() const override;
  void Respond() const override;

 private:
  PelmoraDesign With(int control, int position) const;
  std::string RefusalWith(int control, int position) const override;
  void Assign(int control, int position) override { design_ = With(control, position); }
  bool Graded(int control) const override { return control >= kLowerCorner; }
  std::vector<int> Corners() const override;
  float Value(int control) const override;
  Step StepOf(int control) const override { return control == kAttenuation ? kTenthStep : frequency_step_; }
  std::string Words() const override;
  void WriteFile() const override;

  PelmoraDesign design_;
  Step frequency_step_;
  int last_corner_;  // position of fsamp / 2
};
