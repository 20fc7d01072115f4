// The tuners' main: --help, the configure options on the command line,
// the display check, the window, and at the end a line on standard output
// for each file written ("coeff1.txt: -DPELMORA_TYPE=..."): its name and
// the configure line of the design it holds.
#pragma once

#include "tune/tuning.h"

// Runs the tuner's window; returns the exit status: 0 when the window is
// closed (or Ctrl+Q) or --help printed the usage, 2 when an option is
// refused (its line on standard error, no window), 3 when no window can be
// opened (the designers' line).
int RunTuner(int argc, char** argv, Tuner& tuner);
