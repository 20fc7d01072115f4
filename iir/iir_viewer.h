// The recursive-filter viewer's state: the coefficient set loaded from a
// biquad coefficient file and its section count.
#pragma once

#include "iir/iir_design.h"

// Entry k is the section (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2).
extern float a0[kMaxSections], a1[kMaxSections], a2[kMaxSections];
extern float b1[kMaxSections], b2[kMaxSections];
extern int BiquadN;  // sections in use, 0 to kMaxSections: the reader takes at most 40 lines
