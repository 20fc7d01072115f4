// What the live tuners share, apart from the window: the trackbars'
// positions and the values they stand for, changes held at the edge of
// what the design's limits accept, and numbers written back as text that
// the configure turns into the same single-precision values.
#pragma once

#include <string>
#include <vector>

#include "core/filter_type.h"

// A step of a trackbar: mantissa * 10^exponent, mantissa 1, 2 or 5.
struct Step {
  int mantissa;
  int exponent;
};

// The frequency step for a sampling frequency fsamp (Hz): the smallest
// step of 1, 2 or 5 times a power of ten that covers 0 to fsamp / 2 in at
// most 20000 positions (at least 2000). At 22050 Hz it is 1 Hz.
Step FrequencyStep(float fsamp);

// The unit of one position of a frequency trackbar: "Hz", or "2 Hz" and
// the like.
std::string FrequencyUnit(Step step);

// Steps of 0.1 (attenuation in dB, Kaiser alpha).
constexpr Step kTenthStep = {1, -1};

// The single-precision value of position * step, read from its exact
// decimal text, as the configure reads what is written.
float StepValue(int position, Step step);

// The position nearest to value, from 0 to max.
int NearestPosition(float value, Step step, int max);

// The highest position whose multiple of step is at most limit.
int LastPosition(double limit, Step step);

// The shortest decimal text that reads back (strtof) as v, without a '+'
// sign: plain decimals, or an exponent for very large or small values
// ("22050", "0.1", "1e-15").
std::string ShortestDecimal(float v);

// A trackbar: its name, with the unit of one position, and its positions
// 0 to max.
struct TunerControl {
  std::string name;
  int max;
};

// A designer's parameters as trackbars, over a design that the designer's
// limits accept at every moment. The window side (tune/tune_window.h)
// moves the trackbars, clicks in the plot and shows the status; the
// designer's side says what each position means and which limit refuses
// a design.
class Tuner {
 public:
  virtual ~Tuner() = default;

  virtual std::vector<TunerControl> Controls() const = 0;
  // The position that shows the current design's value of the control.
  virtual int Position(int control) const = 0;

  // Asks for the control's value at position. A design that the limits
  // accept is taken; one they refuse is held at the edge of the range (the
  // last accepted position from the current one towards the asked one,
  // found by bisection; a type or an order stays as it was), and the
  // status says which limit held it.
  void Move(int control, int position);
  // Moves the corner or edge that the type uses nearest to hz (Hz) to the
  // position nearest to hz, as Move does.
  void Click(double hz);

  // The design in words and numbers, and the limit that held the last
  // change, if one did.
  std::string Status() const;
  // Configure options that make the designer this design, on one line.
  virtual std::string OptionsLine() const = 0;

  // Makes the current design as the designer makes it, and its response
  // in Gain and Theta.
  virtual void Respond() const = 0;
  // Writes the current design to coeff1.txt as the designer does (status
  // 1 if it cannot), then prints the options line on standard output.
  void Save() const;

 protected:
  // "" if the limits accept the design with the control at position, else
  // "VARIABLE: allowed ..." of the first limit it breaks.
  virtual std::string RefusalWith(int control, int position) const = 0;
  virtual void Assign(int control, int position) = 0;
  // Whether a refused position is held at the edge found between it and
  // the current one (a range of values), or not taken at all.
  virtual bool Graded(int control) const = 0;
  // The controls of the corners or edges that the type uses.
  virtual std::vector<int> Corners() const = 0;
  virtual float Value(int control) const = 0;
  virtual Step StepOf(int control) const = 0;
  virtual std::string Words() const = 0;
  virtual void WriteFile() const = 0;

 private:
  std::string held_;
};
