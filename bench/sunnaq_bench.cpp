// sunnaq's computation from the tap file to filled Gain and Theta (reader,
// then the FIR response), and the plot, on the 140-line file that tavrine
// writes for its built-in design.

#include <string>

#include "bench/bench_table.h"
#include "bench/fir_response_calls.h"
#include "fir/tap_file.h"
#include "fir/taps.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

int main(int argc, char** argv) {
  const std::string file = TAP_FILE;
  Quietly([&] { TxtLoad(file.c_str(), hh); });
  const LibraryCalls response = FirResponseCalls();

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
  RegisterPlot([&] {
    TxtLoad(file.c_str(), hh);
    CalcFres(Gain, Theta);
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
