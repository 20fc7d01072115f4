// tavrine-tune: tavrine's design, live. Opens on the configured design
// (TAVRINE_*, tavrine_parameters.h), or on the one that the command line's
// configure options (-DTAVRINE_TYPE=... and so on) make, with a form of
// its parameters and the views of its response; Save writes "coeff1.txt"
// as tavrine does, and the configure line of the last design saved is
// printed on standard output when the window closes.

#include "fir/tavrine_tuning.h"
#include "tavrine_parameters.h"
#include "tune/tuner_main.h"

int main(int argc, char** argv) {
  TavrineTuner tuner(kConfiguredDesign);
  return RunTuner(argc, argv, tuner);
}
