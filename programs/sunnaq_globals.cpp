// The FIR viewer's process-wide state: the shared state and the tap set.

#include "fir/taps.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

DEFINE_SHARED_STATE();
DEFINE_TAP_STATE();
const LabelColumn& kProgramLabels = kSunnaqLabels;
