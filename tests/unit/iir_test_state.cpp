// The state of both recursive-filter programs, for their unit tests.
#include "iir/iir_viewer.h"
#include "plot/shared_state.h"

DEFINE_SHARED_STATE();
DEFINE_IIR_DESIGN_STATE();
DEFINE_IIR_VIEWER_STATE();
