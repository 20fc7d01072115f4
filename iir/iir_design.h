// The recursive-filter design chain: Butterworth prototype, prewarping,
// frequency transformation and bilinear transformation into biquads.
//
// The stages take no arguments and pass their results through the state
// below, in this order: BasicFilCal, PreWarp, FreqTrans, SZTrans. All
// floating-point state is single precision; each stage says where it
// works in double precision and rounds back.
#pragma once

#include "core/filter_type.h"
#include "core/state.h"

constexpr int kMaxSections = 8;

// Design parameters.
extern int FilType;   // filter type: 0 low-pass, 1 high-pass, 2 band-pass, 3 band-reject
extern int OrderN;    // order of the analog prototype, 1 or 2
extern float FC1;     // lower corner frequency, Hz (the only one for low- and high-pass)
extern float FC2;     // upper corner frequency, Hz (band types)

// Parameter block: the chain reads its frequencies and attenuation only here.
extern float p_Fsamp;  // sampling frequency, Hz
extern float p_fc;     // lower corner frequency, Hz
extern float p_fc2;    // upper corner frequency, Hz
extern float p_AC;     // attenuation of the prototype at its corner, dB

// Analog low-pass prototype H(p) = (PN2 p^2 + PN1 p + PN0) / (PD2 p^2 + PD1 p + PD0),
// normalised to p_AC dB down at 1 rad/s; PN0 = PD0, PN1 = PN2 = 0.
extern float PN0, PN1, PN2, PD0, PD1, PD2;

// Prewarped corner frequencies, Hz.
extern float fcp1, fcp2;

// Analog sections, each a gain times a ratio of polynomials in s:
// H_S(s) = SH (SN2 s^2 + SN1 s + SN0) / (SD2 s^2 + SD1 s + SD0), and H_T alike.
// Section T is written only by band designs of order 2.
extern float SH, SN0, SN1, SN2, SD0, SD1, SD2;
extern float TH, TN0, TN1, TN2, TD0, TD1, TD2;

// Biquad coefficient set: entry j is the section
// (p_a0 + p_a1 z^-1 + p_a2 z^-2) / (1 + p_b1 z^-1 + p_b2 z^-2);
// the filter is the cascade of the entries. The design fills entries 0 and 1.
extern float p_a0[kMaxSections], p_a1[kMaxSections], p_a2[kMaxSections];
extern float p_b1[kMaxSections], p_b2[kMaxSections];

// Sets every entry of p_a0 ... p_b2 to the pass-through section (1, 0, 0, 0, 0).
void ResetCoefficients();

// Prototype of order OrderN (1 or 2), p_AC dB down at 1 rad/s.
void BasicFilCal();
// fcp = (p_Fsamp / pi) tan(pi p_fc / p_Fsamp), for both corners.
void PreWarp();
// Low-pass prototype to the analog sections of FilType at fcp1 (and fcp2).
void FreqTrans();
// Sections S and T to biquad entries 0 and 1 by s = K (1 - z^-1) / (1 + z^-1), K = 2 p_Fsamp.
void SZTrans();
