#include "core/state.h"

// Pi at load is 3.1415925f (0x40490FDA), the single-precision value just
// below pi.
float Pi = 3.1415925f;
float Fsamp = 22050.0f;
float freq_range = 10000.0f;
float gain_range = 100.0f;

float Gain[kResponseSize];
float Theta[kResponseSize];
