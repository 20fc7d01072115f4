// The mathematics calls of the FIR response, shared by the designer's and
// the viewer's benchmarks: cos and sin of n w per point and tap, log10 and
// atan per point, on the arguments the response passes.
#pragma once

#include <cmath>

#include "bench/bench_table.h"
#include "fir/taps.h"
#include "plot/shared_state.h"

inline LibraryCalls FirResponseCalls() {
  const auto D = [](float v) { return static_cast<double>(v); };
  LibraryCalls calls;
  for (int i = 0; i < kResponsePoints; ++i) {
    const float w = static_cast<float>(D(static_cast<float>(i) * Pi) / 180.0 + 0.001);
    float re = 0.0f, im = 0.0f;
    for (int n = 0; n < TapN; ++n) {
      const float x = static_cast<float>(n) * w;
      calls.cos_sin_single.push_back(x);
      re = static_cast<float>(D(re) + D(hh[n]) * std::cos(D(x)));
      im = static_cast<float>(D(im) - D(hh[n]) * std::sin(D(x)));
    }
    calls.log10.push_back(D(re * re + im * im));
    calls.atan.push_back(D(im / re));
  }
  return calls;
}
