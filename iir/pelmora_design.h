// A design of pelmora: its parameters, and the chain run on them as the
// program runs it. The designer, its live tuner, the benchmark and the
// tests all make a design through MakePelmoraDesign, so that each makes
// exactly the design the program makes.
#pragma once

struct PelmoraDesign {
  int type;              // kLowPass, kHighPass, kBandPass or kBandReject
  int order;             // order of the Butterworth prototype, 1 or 2
  float fc1;             // lower corner, Hz (the only one of low- and high-pass)
  float fc2;             // upper corner, Hz (band types)
  float attenuation_db;  // attenuation at the corners, dB
  float fsamp;           // sampling frequency, Hz
};

// The built-in design: a band-pass of order 2 from 2000 Hz to 5000 Hz at
// 22050 Hz, 3 dB down at both corners: the configure's defaults
// (iir/pelmora_parameter_table.h, which checks that they make it).
constexpr PelmoraDesign kBuiltInPelmoraDesign = {2, 2, 2000.0f, 5000.0f, 3.0f, 22050.0f};

// Assigns the design's parameters as pelmora does (its pi of 3.14159, the
// plot's spans of 100 dB and 10000 Hz, the sampling frequency) over a
// reset coefficient set, and runs the chain: BasicFilCal, PreWarp,
// FreqTrans, SZTrans. Every stage starts from what a fresh program holds,
// whatever was designed before.
void MakePelmoraDesign(const PelmoraDesign& design);
