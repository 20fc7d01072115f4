// tavrine-tune: tavrine's design, live. Opens on the configured design
// (TAVRINE_*, tavrine_parameters.h) with a trackbar for each parameter and
// the plot that tavrine shows; Enter or 's' writes "coeff1.txt" as tavrine
// does and prints the configure options that make tavrine this design;
// Esc, 'q' or closing the window ends it without writing anything.

#include "fir/tavrine_tuning.h"
#include "plot/response_plot.h"
#include "tavrine_parameters.h"
#include "tune/tune_window.h"

int main() {
  TavrineTuner tuner(kConfiguredDesign);
  if (TuneInWindow("tavrine-tune", tuner, kTavrineLabels)) tuner.Save();
  return 0;
}
