// A designer's tuner over its parameter table (core/design_parameter.h)
// and its limits (core/design_limit.h): the fields, their values and
// ranges, the configure variables, their forms and the options line come
// from the table's rows; the designer adds its words and its chain.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "core/design_limit.h"
#include "core/design_parameter.h"
#include "core/filter_type.h"
#include "tune/tuning.h"

// A field is a row of the table, or, for the corners or edges, the row of
// the type chosen that is its first or second one (Values' `type`).
template <typename Values>
class TableTuner : public Tuner {
 public:
  using Row = DesignParameter<Values>;
  using Limit = DesignLimit<Values>;

  template <size_t Rows, size_t Limits>
  TableTuner(const Values& start, const Row (&rows)[Rows], const Limit (&limits)[Limits], float Values::*rate)
      : rows_(rows, rows + Rows),
        limits_(limits, limits + Limits),
        rate_(rate),
        design_(start),
        saved_(start),
        decimals_(FrequencyDecimals(start.*rate)) {
    for (int r = 0; r < static_cast<int>(Rows); ++r) {
      bool known = false;
      for (const Place& p : places_) known = known || (rows[r].corner != 0 && p.corner == rows[r].corner);
      if (!known) places_.push_back({r, rows[r].corner});
    }
  }
  const Values& design() const { return design_; }

  std::vector<Field> Fields() const override;
  std::vector<std::string> Choices(int field) const override {
    const Row& row = Shown(field);
    if (row.kind == ParameterKind::kType) return {kTypeNames, kTypeNames + kTypeCount};
    if (row.kind == ParameterKind::kChoice) return SplitWords(row.words);
    std::vector<std::string> choices = SplitWords(row.words);
    for (int v = static_cast<int>(row.min); v <= static_cast<int>(row.max); ++v) choices.push_back(std::to_string(v));
    return choices;
  }
  double Value(int field) const override {
    const Row* row = Used(field);
    if (!row) return 0.0;
    if (row->number) return design_.*(row->number);
    return IndexOf(*row, design_.*(row->whole));
  }
  // The second corner or edge is a band's only.
  // The second corner or edge is a band's only; a row may be used only by
  // some designs of its type.
  bool Uses(int field) const override {
    const int corner = places_[static_cast<size_t>(field)].corner;
    return (corner != 2 && corner != 4) || IsBand(Type()) ? Offered(field) : false;
  }
  bool Offered(int field) const override {
    const Row& row = Shown(field);
    return !row.used || row.used(design_);
  }
  std::string Name(int field) const override {
    const Row& row = Shown(field);
    return *row.alone && !IsBand(Type()) ? row.alone : row.label;
  }
  std::string OptionsLine() const override {
    // What the design uses: the corners or edges of its type only (the
    // configure's defaults of the others are accepted at any rate).
    std::string line;
    for (int i = 0; i < static_cast<int>(places_.size()); ++i) {
      if (Uses(i)) line += (line.empty() ? "-D" : " -D") + Variable(i) + "=" + VariableText(Variable(i));
    }
    return line;
  }
  std::vector<std::string> Variables() const override {
    std::vector<std::string> variables;
    for (const Row& row : rows_) variables.push_back(row.variable);
    return variables;
  }
  double Fsamp() const override { return design_.*rate_; }
  std::vector<float> Coefficients() const override { return Made().values; }

 protected:
  int Type() const { return design_.type; }
  // Takes the designer's own values (Arrange).
  void Replace(const Values& d) { design_ = d; }
  // The present design as the designer's chain makes it: a function of the
  // design's values alone, whatever was made or asked before (made again
  // only when they have changed; the designs have no padding bytes).
  const CoeffSet& Made() const {
    if (made_.values.empty() || std::memcmp(&made_of_, &design_, sizeof design_) != 0) Remake();
    return made_;
  }
  // Runs the chain on the present design, which leaves its state, and
  // keeps what it made.
  void Remake() const {
    made_ = MakeOf(design_);
    made_of_ = design_;
  }
  // A frequency in words: "2000 Hz".
  static std::string Hz(float v) { return ShortestDecimal(v) + " Hz"; }

 private:
  // Runs the designer's chain on the design.
  virtual CoeffSet MakeOf(const Values& design) const = 0;

  struct Place {
    int row;     // the field's row, or the first row of its corner or edge
    int corner;  // 1 or 2, or 0
  };

  // The row of the field for the present type, or nullptr (the upper edge
  // of a low-pass, where each type has edges of its own).
  const Row* Used(int field) const {
    const Place& place = places_[static_cast<size_t>(field)];
    if (place.corner == 0) return &rows_[static_cast<size_t>(place.row)];
    for (const Row& row : rows_) {
      if (row.corner == place.corner && (row.types & TypeBit(Type()))) return &row;
    }
    return nullptr;
  }
  // The row that the form shows for the field: the one used, else the
  // first of its corner or edge.
  const Row& Shown(int field) const {
    const Row* row = Used(field);
    return row ? *row : rows_[static_cast<size_t>(places_[static_cast<size_t>(field)].row)];
  }
  const Row* RowOf(const std::string& variable) const {
    for (const Row& row : rows_) {
      if (variable == row.variable) return &row;
    }
    return nullptr;
  }
  // A listed number's place among its choices (its word for 0 first), and
  // the number at a place; any other value is itself.
  static double IndexOf(const Row& row, int value) {
    if (row.kind != ParameterKind::kListed) return value;
    const bool word = *row.words != 0;
    return word && value == 0 ? 0.0 : value - row.min + (word ? 1.0 : 0.0);
  }
  static double ValueAt(const Row& row, double index) {
    if (row.kind != ParameterKind::kListed) return index;
    const bool word = *row.words != 0;
    return word && index == 0.0 ? 0.0 : index + row.min - (word ? 1.0 : 0.0);
  }
  // A whole number beyond an int (the configure's 999999999) stays one
  // that the limits refuse.
  static void Put(const Row& row, Values& d, double value) {
    if (row.number) {
      d.*(row.number) = static_cast<float>(value);
    } else {
      d.*(row.whole) = static_cast<int>(value);
    }
  }
  // The design with the field at value (a listed whole number: its index).
  Values With(int field, double value) const {
    Values d = design_;
    if (const Row* row = Used(field)) Put(*row, d, ValueAt(*row, value));
    return d;
  }
  const Limit* RefusalOf(const Values& d, bool quick = false) const {
    for (const Limit& limit : limits_) {
      if (!(quick && limit.whole) && !limit.holds(d)) return &limit;
    }
    return nullptr;
  }

  std::string Variable(int field) const override { return Shown(field).variable; }
  std::string RefusalWith(int field, double value, bool quick) const override {
    const Limit* refusal = RefusalOf(With(field, value), quick);
    return refusal ? refusal->variable : "";
  }
  void Assign(int field, double value) override { design_ = With(field, value); }
  void AssignVariable(const std::string& variable, double value) override {
    if (const Row* row = RowOf(variable)) Put(*row, design_, value);
  }
  std::string Refusal() const override {
    const Limit* refusal = RefusalOf(design_);
    return refusal ? std::string(refusal->variable) + "|" + RefusalText(*refusal, design_).text : "";
  }
  std::string VariableText(const std::string& variable) const override {
    const Row* row = RowOf(variable);
    if (!row) return "";
    if (row->number) return ShortestDecimal(design_.*(row->number));
    const int value = design_.*(row->whole);
    if (row->kind == ParameterKind::kType) return kTypeNames[value];
    if (row->kind == ParameterKind::kChoice) return SplitWords(row->words)[static_cast<size_t>(value)];
    return value == 0 && *row->words ? row->words : std::to_string(value);
  }
  ParameterKind KindOf(const std::string& variable) const override { return RowOf(variable)->kind; }
  std::string WordsOf(const std::string& variable) const override { return RowOf(variable)->words; }
  void SaveState() override { saved_ = design_; }
  void RestoreState() override { design_ = saved_; }

  std::vector<Row> rows_;
  std::vector<Limit> limits_;
  std::vector<Place> places_;
  float Values::*rate_;
  Values design_, saved_;
  int decimals_;  // of the frequencies, at the starting rate
  mutable CoeffSet made_;
  mutable Values made_of_{};
};

template <typename Values>
std::vector<Field> TableTuner<Values>::Fields() const {
  std::vector<Field> fields;
  for (int i = 0; i < static_cast<int>(places_.size()); ++i) {
    const Row& row = Shown(i);
    const bool listed = row.kind == ParameterKind::kListed;
    const bool chosen = row.kind == ParameterKind::kType || row.kind == ParameterKind::kChoice || listed;
    const FieldKind kind = chosen ? FieldKind::kChoice
                           : row.kind == ParameterKind::kWhole        ? FieldKind::kWhole
                                                                      : FieldKind::kNumber;
    // A corner or edge: from 0 to half the rate; a listed number: its index.
    const double min = row.corner || listed ? 0.0 : row.min;
    const double max = row.corner ? static_cast<double>(design_.*rate_) / 2.0
                       : listed   ? IndexOf(row, static_cast<int>(row.max))
                                  : row.max;
    const bool word = row.kind == ParameterKind::kWhole && *row.words;
    fields.push_back({Name(i), kind, row.unit, word ? 0.0 : min, max,
                      row.decimals == kRateDecimals ? decimals_ : row.decimals, row.corner != 0,
                      word ? row.words : ""});
  }
  return fields;
}
