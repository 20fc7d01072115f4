// A design of tavrine: its parameters, and the chain run on them as the
// program runs it. The designer, its live tuner, the benchmark and the
// tests all make a design through MakeTavrineDesign, so that each makes
// exactly the design the program makes.
#pragma once

#include <string>
#include <vector>

#include "fir/remez.h"

// How the taps are designed: by frequency sampling and a Kaiser window
// (the chain below), or equiripple by the Remez exchange (fir/remez.h).
constexpr int kWindowMethod = 0;
constexpr int kEquirippleMethod = 1;
#define TAVRINE_METHOD_NAMES "window equiripple"

// A requested tap count of 0: the fewest taps that meet the design's band
// requirement.
constexpr int kAutoTaps = 0;

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
  // The method, and the band requirement that an equiripple design and
  // a count of kAutoTaps take: a transition band of this width centred on
  // each edge of the type, the pass band's largest deviation (peak to
  // peak) and the stop band's least attenuation.
  int method = kWindowMethod;
  float transition_hz = 200.0f;
  float ripple_db = 0.1f;
  float stopband_db = 60.0f;
};

// The built-in design: a band-pass from 2000 Hz to 8000 Hz at 22050 Hz,
// 140 requested taps, 400 bins, alpha 7.0, by the window: the configure's defaults
// (fir/tavrine_parameter_table.h, which checks that they make it).
constexpr TavrineDesign kBuiltInTavrineDesign = {2,       140,     7.0f,    400,     22050.0f, 3000.0f,
                                                 3000.0f, 2000.0f, 8000.0f, 3000.0f, 7000.0f};

// Whether the design has a band requirement: equiripple, or the fewest
// taps asked.
constexpr bool HasRequirement(const TavrineDesign& d) {
  return d.method == kEquirippleMethod || d.taps == kAutoTaps;
}

// The design's band requirement, in double precision, and its bands
// (the type's edges each the centre of a transition band).
FilterTolerance TavrineTolerance(const TavrineDesign& design);
std::vector<RemezBand> TavrineBands(const TavrineDesign& design);

// What a design made, beside the taps it leaves in the chain's state.
struct TavrineMade {
  int taps = 0;            // taps designed (TapN; the file adds a zero tap when evenTap is 1)
  int asked = 0;           // the count designed from: the request, or the one the search found
  bool specified = false;  // the design has a band requirement: the measure below is of it
  bool met = true;         // the file's taps meet the requirement
  // With kAutoTaps, no count that the arrays (and for the window, its
  // frequency samples) hold meets the requirement: the most is designed,
  // and `needed` is the count that does, or its estimate if above
  // `searched` (the most the search could try).
  bool found = true;
  int needed = 0;
  int searched = 0;
  bool estimated = false;  // `needed` is an estimate
  BandMeasure measure{};   // the file's taps, as the viewers read them, on the bands
};

// Assigns the design's parameters as tavrine does (the plot's spans of
// 100 dB and 10000 Hz, the sampling frequency) and designs the taps.
// The window method runs the chain: AdjustTapCount, PutParam, DoIdft,
// Kaiser. The equiripple method designs in double precision and stores
// the taps in single precision in hh and TapN (evenTap 0: every count is
// designed as asked). With kAutoTaps the count is the fewest that meets
// the band requirement on the taps as the file holds them: for the
// window, odd counts with alpha = KaiserBeta(TAVRINE_STOPBAND_DB) from
// Kaiser's estimate; for equiripple, from Herrmann's, odd counts for a
// high-pass or band-reject, else the fewer of either parity. Every stage
// starts from what a fresh program holds, whatever was designed before.
// The design is one that tavrine accepts (tavrine_limits.h): the chain
// checks nothing, and the limits are what keep its counts within the
// arrays.
TavrineMade MakeTavrineDesign(const TavrineDesign& design);

// The most taps that TavrineTapsNeeded designs.
constexpr int kMostTapsNeeded = 4000;

// The taps that a requirement needs when more than the arrays hold
// (MakeTavrineDesign found none): for equiripple, the fewest beyond them,
// up to kMostTapsNeeded (0: more), by the exchange measured in double
// precision; for the window, Kaiser's estimate (`estimated` set).
int TavrineTapsNeeded(const TavrineDesign& design, bool* estimated);

// The verdict on an accepted design (tavrine_limits.h) that only its
// search can give: "" when a count of kAutoTaps is found within the arrays
// (and every design of another count), else
// "TAVRINE_TAPS|is auto where ...; this one needs N taps". The
// configure's check runs it (cmake/design_check), and the tuners' options.
std::string TavrineSearchVerdict(const TavrineDesign& design);

// The taps as the file holds them and a viewer reads them back: each
// written "%f", read to single precision.
std::vector<double> FileTaps(const float* taps, int count);
