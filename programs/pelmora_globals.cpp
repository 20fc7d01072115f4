// The recursive-filter designer's process-wide state.

#include "iir/iir_design.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

DEFINE_SHARED_STATE();
DEFINE_IIR_DESIGN_STATE();
const LabelColumn& kProgramLabels = kPelmoraLabels;
