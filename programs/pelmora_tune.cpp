// pelmora-tune: pelmora's design, live. Opens on the configured design
// (PELMORA_*, pelmora_parameters.h) with a trackbar for each parameter and
// the plot that pelmora shows; Enter or 's' writes "coeff1.txt" as pelmora
// does and prints the configure options that make pelmora this design;
// Esc, 'q' or closing the window ends it without writing anything.

#include "iir/pelmora_tuning.h"
#include "pelmora_parameters.h"
#include "plot/response_plot.h"
#include "tune/tune_window.h"

int main() {
  PelmoraTuner tuner(kConfiguredDesign);
  if (TuneInWindow("pelmora-tune", tuner, kPelmoraLabels)) tuner.Save();
  return 0;
}
