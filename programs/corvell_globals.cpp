// The recursive-filter viewer's process-wide state.

#include "iir/iir_viewer.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

DEFINE_SHARED_STATE();
DEFINE_IIR_VIEWER_STATE();
const LabelColumn& kProgramLabels = kCorvellLabels;
