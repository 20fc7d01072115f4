// The tuners' main: the configure options on the command line, the
// display check, the window, and the configure line of the last design
// saved printed on standard output at the end.
#pragma once

#include "tune/tuning.h"

// Runs the tuner's window; returns the exit status: 0 when the window is
// closed (or Ctrl+Q), 2 when an option is refused (its line on standard
// error, no window), 3 when no window can be opened (the designers' line).
int RunTuner(int argc, char** argv, Tuner& tuner);
