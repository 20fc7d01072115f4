// What the live tuners share, apart from the window: a designer's
// parameters as fields in the user's units, changes held at the edge of
// what the design's limits accept (with the bound said in numbers), each
// field's allowed range for the present values of the others, the
// configure options read and written back as text that the configure
// turns into the same single-precision values, and the design as the
// views take it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "coeff/coeff_layout.h"
#include "core/design_parameter.h"
#include "core/textio.h"

// A row's words (core/design_parameter.h), space-separated, one by one.
std::vector<std::string> SplitWords(const std::string& words);

// The decimals that a frequency field shows at a sampling frequency: at
// least 1, and enough that half the rate spans 2000 steps.
int FrequencyDecimals(float fsamp);

// A field's value as the form shows it: with the field's decimals, or,
// where those would read back as another single-precision value (an
// attenuation of 0.00001 dB at one decimal), as its shortest decimal, so
// that the form never shows a value that the design does not hold.
std::string FieldText(double value, int decimals);

enum class FieldKind {
  kChoice,  // one of Choices(); taken whenever asked, the corners moved to ones it accepts
  kWhole,   // a whole number, held at its limits
  kNumber,  // a decimal number, held at its limits
};

// A row of the design form.
struct Field {
  std::string label;  // "lower corner"
  FieldKind kind;
  std::string unit;  // "Hz", "dB" or ""
  double min, max;   // every value that some design accepts; the limits may allow less
  int decimals;      // shown and stepped (10^-decimals)
  bool frequency;    // a corner or edge: a marker on the plot
  // A whole number's word for 0 ("auto": the design finds the count), or
  // "": typed or stepped below 1, it asks for that.
  std::string word = "";
};

// A filter as the views take it: a cascade of sections b(z^-1) / a(z^-1),
// coefficients of z^0, z^-1, ...; a[0] is 1.
struct Section {
  std::vector<double> b, a;
};
using Cascade = std::vector<Section>;

// The cascade of a design's values: a section for each five values of a
// biquad cascade, or the taps over 1.
Cascade CascadeOf(const CoeffSet& set);

// A band of a design's requirement, as the response view draws it: a
// pass band's floor and ceiling, or a stop band's ceiling, from one
// frequency to another (Hz).
struct SpecBand {
  double from_hz, to_hz;
  bool pass;
  double low_db, high_db;  // a pass band's floor and ceiling; a stop band's ceiling is high_db
};

// A designer's parameters, over a design that the designer's limits accept
// at every moment. The window (tune/tuner_window.h) shows the fields,
// asks for changes and draws the views; the designer's side says what
// each field is and which limit refuses a design.
class Tuner {
 public:
  virtual ~Tuner() = default;

  virtual const char* Program() const = 0;  // "pelmora"
  virtual std::vector<Field> Fields() const = 0;
  virtual std::vector<std::string> Choices(int field) const = 0;
  // The design's value of the field (a choice: its index).
  virtual double Value(int field) const = 0;
  // Whether the design's type uses the field (edge 2 of a low-pass not).
  virtual bool Uses(int field) const = 0;
  // Whether the form offers the field at all for the design (a Chebyshev's
  // ripple not to a Butterworth): a field of the design's kind that its
  // type does not use is offered, not used.
  virtual bool Offered(int field) const = 0;
  // The field's name in a sentence for the present type ("corner",
  // "lower corner").
  virtual std::string Name(int field) const = 0;

  // Asks for value in the field. A design that the limits accept is
  // taken. Otherwise a whole or decimal number is held at the edge of the
  // range (found by bisection between the present value and the one
  // asked, then rounded inwards to the field's decimals where the limits
  // allow), and Held() says so in numbers; a choice is taken with its
  // corners or edges moved to the nearest ones that the limits accept.
  // Returns whether the value was taken as asked. A value beyond the
  // field's min and max is held as one that the limits refuse.
  bool Set(int field, double value);
  // Asks for the value that text, as typed, says: a number in the
  // configure's forms ("2000", "1500.5", "2e3"; a whole-number field takes
  // a whole one, "1e2" too), read as the configure reads it, is Set();
  // other text leaves the design as it was, and Held() says why. Returns
  // whether the value was taken as asked.
  bool SetTyped(int field, const std::string& text);
  // The range of values that the limits accept in the field for the
  // present values of the others, rounded inwards to its decimals; the
  // limits that make the whole design to judge it (a file's check) are
  // left out, for speed, and hold a value when it is taken.
  std::pair<double, double> Range(int field) const;
  // What held or moved the last change, in words; "" if it was taken.
  const std::string& Held() const { return held_; }

  // The design in words and numbers.
  virtual std::string Words() const = 0;
  // Configure options that make the designer this design, on one line.
  virtual std::string OptionsLine() const = 0;
  // Takes configure options, "-DNAME=VALUE" each (also without "-D"),
  // in the forms the configure takes; the design they make must be one
  // the limits accept. Returns "" or the configure's line of refusal,
  // "NAME = VALUE: not allowed; allowed ...". On a refusal the design is
  // left as it was.
  std::string Configure(const std::vector<std::string>& options);
  // The configure variables that Configure() takes, in the designer's order.
  virtual std::vector<std::string> Variables() const = 0;

  // The cascade that the design chain makes of the current design, as it
  // computes (at any time: a function of the parameters alone).
  virtual Cascade Design() const = 0;
  // The text of coeff1.txt as the designer writes it (at any time, of
  // Coefficients()).
  std::string FileText() const;
  // The cascade of a coefficient file's text, read as the viewer reads it.
  virtual Cascade FromFile(const std::string& text) const = 0;
  // The band requirement that the design is made to meet (none where
  // it is designed by its corners alone).
  virtual std::vector<SpecBand> Requirement() const { return {}; }
  // The sampling frequency (Hz) and the attenuation asked at the corners
  // (dB; 0 if the designer has none).
  virtual double Fsamp() const = 0;
  virtual double Attenuation() const = 0;

  // Writes the design's file to name with the designer's safe
  // replacement. "" once written, else the designer's message with the
  // system's reason ("coeff1.txt cannot be opened: Permission denied.").
  std::string SaveTo(const std::string& name) const;

  // The kind of the designer's file, and the design's values as the file
  // holds them, in its order, but every single-precision value in full
  // (at any time, as Design()).
  virtual CoeffKind Kind() const = 0;
  virtual std::vector<float> Coefficients() const = 0;
  // The design in a layout that DSP code takes (coeff/coeff_layout.h), from
  // the values in memory (Coefficients()).
  std::string ExportText(const CoeffLayout& layout) const;
  // Writes the design in the layout to name with the safe
  // replacement: "" once written, else the message with the reason ("NAME
  // cannot be opened: Is a directory.").
  std::string ExportTo(const CoeffLayout& layout, const std::string& name) const;
  // The cascade of the values that the layout's text holds, as the code
  // that takes it gets them.
  Cascade Exported(const CoeffLayout& layout) const;

 protected:
  // The configure variable behind the field for the present type.
  virtual std::string Variable(int field) const = 0;
  // "" if the limits accept the design with the field at value, else the
  // configure variable of the first limit it breaks; `quick`: of the
  // limits that do not make the whole design (the ranges shown).
  virtual std::string RefusalWith(int field, double value, bool quick = false) const = 0;
  virtual void Assign(int field, double value) = 0;
  // The design as a description without the field, to open a sentence
  // about it ("at 60 dB a low-pass of order 2"), and what closes the
  // sentence (", at 22050 Hz").
  virtual std::string Opening(int field) const = 0;
  virtual std::string Closing(int field) const = 0;
  // Configure variables: a value's assignment, and the first limit that
  // the design breaks ("VARIABLE|allowed", or "").
  virtual void AssignVariable(const std::string& variable, double value) = 0;
  virtual std::string Refusal() const = 0;
  virtual std::string VariableText(const std::string& variable) const = 0;
  // The form in which the configure takes the variable's value.
  // A choice's names, space-separated, or a whole number's word for 0.
  virtual std::string WordsOf(const std::string& variable) const = 0;
  virtual ParameterKind KindOf(const std::string& variable) const = 0;
  virtual void SaveState() = 0;
  virtual void RestoreState() = 0;
  // After a choice is taken: the designer may place fields that the new
  // choice reads otherwise (a band requirement's edges for another
  // type), and returns what it moved in words ("stop edge to 1500 Hz"),
  // or "".
  virtual std::string Arrange(int /*field*/) { return ""; }

 private:
  // Moves the corners or edges that the design's type uses, each to the
  // nearest value that the limits accept, after a choice; `moved` says
  // what was moved before.
  bool Repair(std::string moved);
  // The edge of the accepted values between accepted and refused.
  double Edge(int field, double accepted, double refused, bool quick) const;
  template <typename Accepted>
  double EdgeWhere(int field, double accepted, double refused, Accepted ok) const;
  std::string JoinedVariables() const;

  std::string held_;
};
