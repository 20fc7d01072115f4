// pelmora's parameters as the fields of its live tuner: type, order,
// lower and upper corner, attenuation and sampling frequency. Every design
// the tuner holds is one that pelmora's limits accept
// (iir/pelmora_limits.h).
#pragma once

#include "iir/pelmora_design.h"
#include "tune/tuning.h"

class PelmoraTuner final : public Tuner {
 public:
  enum FieldIndex { kType, kOrder, kLowerCorner, kUpperCorner, kAttenuation, kFsamp };

  // Starts on `start`, which the limits are expected to accept.
  explicit PelmoraTuner(const PelmoraDesign& start);
  const PelmoraDesign& design() const { return design_; }

  const char* Program() const override { return "pelmora"; }
  std::vector<Field> Fields() const override;
  std::vector<std::string> Choices(int field) const override;
  double Value(int field) const override;
  bool Uses(int field) const override;
  std::string Name(int field) const override;
  std::string Words() const override;
  std::string OptionsLine() const override;
  void Make() const override;
  Cascade Design() const override;
  std::string FileText() const override;
  Cascade FromFile(const std::string& text) const override;
  CoeffKind Kind() const override { return CoeffKind::kBiquad; }
  std::vector<float> Coefficients() const override;
  double Fsamp() const override { return design_.fsamp; }
  double Attenuation() const override { return design_.attenuation_db; }

 private:
  PelmoraDesign With(int field, double value) const;
  std::string Variable(int field) const override;
  std::string RefusalWith(int field, double value) const override;
  void Assign(int field, double value) override { design_ = With(field, value); }
  std::string Opening(int field) const override;
  std::string Closing(int field) const override;
  std::vector<std::string> Variables() const override;
  void AssignVariable(const std::string& variable, double value) override;
  std::string Refusal() const override;
  std::string VariableText(const std::string& variable) const override;
  void SaveState() override { saved_ = design_; }
  void RestoreState() override { design_ = saved_; }

  PelmoraDesign design_, saved_;
  int decimals_;  // of the corners
};
