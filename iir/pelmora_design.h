// A design of pelmora: its parameters, and the chain run on them as the
// program runs it. The designer, its live tuner, the benchmark and the
// tests all make a design through MakePelmoraDesign, so that each makes
// exactly the design the program makes.
#pragma once

#include "core/filter_type.h"
#include "iir/family_design.h"

// The prototype families, by code, and their names as the configure takes
// them (space-separated, in the order of the codes).
#define PELMORA_FAMILY_NAMES "butterworth chebyshev1 chebyshev2 elliptic bessel"
#define PELMORA_FAMILY_WORDS "butterworth, chebyshev1, chebyshev2, elliptic, bessel"
// An order of 0 asks for the least that meets the band requirement
// (the configure's "auto").
constexpr int kAutoOrder = 0;

struct PelmoraDesign {
  int type;              // kLowPass, kHighPass, kBandPass or kBandReject
  int order;             // order of the prototype (a band type doubles it), or kAutoOrder
  float fc1;             // lower corner, Hz (the only one of low- and high-pass)
  float fc2;             // upper corner, Hz (band types)
  float attenuation_db;  // attenuation at the corners of a Butterworth, dB
  float fsamp;           // sampling frequency, Hz
  int family = iirproto::kButterworth;
  float ripple_db = 1.0f;     // the pass band's ripple (Chebyshev I, elliptic; the band requirement)
  float stopband_db = 60.0f;  // the stop band's least attenuation (Chebyshev II, elliptic; the band requirement)
  float stop1 = 1000.0f;      // the stop band's edges of a band requirement, Hz
  float stop2 = 7000.0f;
};

// The built-in design: a band-pass of order 2 from 2000 Hz to 5000 Hz at
// 22050 Hz, 3 dB down at both corners: the configure's defaults
// (iir/pelmora_parameter_table.h, which checks that they make it).
constexpr PelmoraDesign kBuiltInPelmoraDesign = {2, 2, 2000.0f, 5000.0f, 3.0f, 22050.0f};

// The highest order of a type: eight sections, what the viewer shows.
constexpr int MostOrder(int type) { return IsBand(type) ? 8 : 16; }

// Whether the design is the Butterworth chain of orders 1 and 2 (the
// single-precision stages of iir/iir_design.h) or one of the family
// designs (iir/family_design.h).
constexpr bool IsButterworthChain(const PelmoraDesign& d) {
  return d.family == iirproto::kButterworth && (d.order == 1 || d.order == 2);
}

// What a family design asks, widened to double precision.
constexpr iirfamily::Request RequestOf(const PelmoraDesign& d) {
  return {d.family, d.type, d.order, d.fsamp, d.fc1, d.fc2, d.stop1, d.stop2, d.attenuation_db, d.ripple_db,
          d.stopband_db};
}

// The sections of a family design (count 0 where its band requirement
// needs more than MostOrder; `order` then says how many).
constexpr iirfamily::Sections FamilySections(const PelmoraDesign& d) {
  return iirfamily::Design(RequestOf(d), MostOrder(d.type));
}

// Assigns the design's parameters as pelmora does (its pi of 3.14159, the
// plot's spans of 100 dB and 10000 Hz, the sampling frequency) over a
// reset coefficient set, and runs the chain: for the Butterworth chain
// BasicFilCal, PreWarp, FreqTrans, SZTrans; for a family design its
// sections, stored in single precision, with OrderN the order made. Every
// stage starts from what a fresh program holds, whatever was designed
// before.
void MakePelmoraDesign(const PelmoraDesign& design);
