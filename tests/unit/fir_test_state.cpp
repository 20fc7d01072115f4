// The FIR design state, defined once for each FIR test binary.

#include "fir/fir_design.h"
#include "plot/shared_state.h"

DEFINE_SHARED_STATE();
DEFINE_FIR_DESIGN_STATE();
