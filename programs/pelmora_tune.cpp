// pelmora-tune: pelmora's design, live. Opens on the configured design
// (PELMORA_*, pelmora_parameters.h), or on the one that the command line's
// configure options (-DPELMORA_TYPE=... and so on) make, with a form of
// its parameters and the views of its response; Save writes "coeff1.txt"
// as pelmora does, and the configure line of the last design saved is
// printed on standard output when the window closes.

#include "iir/pelmora_tuning.h"
#include "pelmora_parameters.h"
#include "tune/tuner_main.h"

int main(int argc, char** argv) {
  PelmoraTuner tuner(kConfiguredDesign);
  return RunTuner(argc, argv, tuner);
}
