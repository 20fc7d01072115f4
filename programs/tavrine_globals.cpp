// The FIR designer's process-wide state.

#include "fir/fir_design.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

DEFINE_SHARED_STATE();
DEFINE_FIR_DESIGN_STATE();
const LabelColumn& kProgramLabels = kTavrineLabels;
