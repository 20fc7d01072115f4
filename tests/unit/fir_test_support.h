// Helpers shared by the FIR tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/unit/temp_files.h"

// Runs the designer's chain with its built-in parameters (band-pass 2000 Hz
// to 8000 Hz at 22050 Hz, 400 bins, Kaiser alpha 7.0) for the given
// requested tap count.
void DesignBuiltIn(int requested_taps = 140);

inline uint32_t Bits(float v) {
  uint32_t u;
  std::memcpy(&u, &v, sizeof u);
  return u;
}
