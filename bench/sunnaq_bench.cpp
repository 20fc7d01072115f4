// sunnaq's computation from the tap file to filled Gain and Theta (reader,
// then the FIR response), and the plot, on the 140-line file that tavrine
// writes for its built-in design.

#include <opencv2/core/core_c.h>

#include <cmath>
#include <string>

#include "bench/bench_table.h"
#include "fir/tap_file.h"
#include "fir/taps.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

namespace {

double D(float v) { return static_cast<double>(v); }

// The response's calls: cos and sin of n w per point and tap, log10 and
// atan per point, on the arguments it passes.
LibraryCalls ResponseCalls() {
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

}  // namespace

int main(int argc, char** argv) {
  const std::string file = TAP_FILE;
  Quietly([&] { TxtLoad(file.c_str(), hh); });
  const LibraryCalls response = ResponseCalls();

  benchmark::RegisterBenchmark("reader", [file](benchmark::State& state) {
    for (auto _ : state) {
      TxtLoad(file.c_str(), hh);
      benchmark::ClobberMemory();
    }
  });
  benchmark::RegisterBenchmark("response", [file](benchmark::State& state) {
    TxtLoad(file.c_str(), hh);
    for (auto _ : state) {
      CalcFres(Gain, Theta);
      benchmark::ClobberMemory();
    }
  });
  benchmark::RegisterBenchmark("whole", [file](benchmark::State& state) {
    for (auto _ : state) {
      TxtLoad(file.c_str(), hh);
      CalcFres(Gain, Theta);
      benchmark::ClobberMemory();
    }
  });
  IplImage* canvas = CreateCanvas();
  benchmark::RegisterBenchmark("plot", [canvas, file](benchmark::State& state) {
    TxtLoad(file.c_str(), hh);
    CalcFres(Gain, Theta);
    for (auto _ : state) {
      state.PauseTiming();
      cvSet(canvas, cvScalarAll(255), nullptr);
      state.ResumeTiming();
      DrawFres(canvas, 100, 60, Gain, Theta);
      benchmark::ClobberMemory();
    }
  });
  RegisterFloor("floor response", response);

  return RunTable(argc, argv, "sunnaq (FIR viewer): tavrine's tap file, 140 taps",
                  {
                      {"reader (TxtLoad, 140 lines)", "reader", {}, "",
                       "no mathematics calls: open, read and close of the file, and strtod"},
                      {"response (CalcFres)", "response", {"floor response"}, response.Describe(), ""},
                      {"reader + response", "whole", {"floor response"}, response.Describe(),
                       "the floor is the response's: the reader's file calls have none"},
                      {"DrawFres", "plot", {}, "",
                       "no mathematics calls: text rendering and line drawing of OpenCV"},
                  });
}
