// A design of tavrine: its parameters, and the chain run on them as the
// program runs it. The designer, its live tuner, the benchmark and the
// tests all make a design through MakeTavrineDesign, so that each makes
// exactly the design the program makes.
#pragma once

struct TavrineDesign {
  int type;       // kLowPass, kHighPass, kBandPass or kBandReject
  int taps;       // requested tap count (an even count designs one fewer)
  float alpha;    // Kaiser window shape parameter, other libraries' beta (0: rectangular window)
  int bins;       // frequency samples of the desired response
  float fsamp;    // sampling frequency, Hz
  float lpf_fc1;  // low-pass edge, Hz
  float hpf_fc1;  // high-pass edge, Hz
  float bpf_fc1;  // band-pass lower edge, Hz
  float bpf_fc2;  // band-pass upper edge, Hz
  float brf_fc1;  // band-reject lower edge, Hz
  float brf_fc2;  // band-reject upper edge, Hz
};

// The built-in design: a band-pass from 2000 Hz to 8000 Hz at 22050 Hz,
// 140 requested taps, 400 bins, alpha 7.0: the configure's defaults
// (fir/tavrine_parameter_table.h, which checks that they make it).
constexpr TavrineDesign kBuiltInTavrineDesign = {2,       140,     7.0f,    400,     22050.0f, 3000.0f,
                                                 3000.0f, 2000.0f, 8000.0f, 3000.0f, 7000.0f};

// Assigns the design's parameters as tavrine does (the plot's spans of
// 100 dB and 10000 Hz, the sampling frequency) and runs the chain:
// AdjustTapCount, PutParam, DoIdft, Kaiser. Every stage starts from what a
// fresh program holds, whatever was designed before. The design is one
// that tavrine accepts (tavrine_limits.h): the chain checks nothing, and
// the limits are what keep its counts within the arrays.
void MakeTavrineDesign(const TavrineDesign& design);
