// corvell's computation from the coefficient file to filled Gain and Theta
// (reader, then the cascade response in double precision), and the plot,
// on the ten lines that pelmora writes for its built-in design.

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_table.h"
#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"
#include "tests/unit/iir_test_support.h"

namespace {

double D(float v) { return static_cast<double>(v); }

// The response's calls, on the arguments it passes: cos and sin of w and
// 2w per point, log10 and atan per point and loaded section.
LibraryCalls ResponseCalls() {
  LibraryCalls calls;
  for (int i = 0; i < kResponsePoints; ++i) {
    const double w = D(static_cast<float>(i) * Pi) / 180.0 + 0.001;
    const double c1 = std::cos(w), s1 = std::sin(w);
    const double c2 = std::cos(2.0 * w), s2 = std::sin(2.0 * w);
    calls.cos_sin.push_back(w);
    calls.cos_sin.push_back(2.0 * w);
    for (int j = 0; j < BiquadN; ++j) {
      const double n_re = (D(a0[j]) + D(a1[j]) * c1) + D(a2[j]) * c2;
      const double n_im = (0.0 - D(a1[j]) * s1) - D(a2[j]) * s2;
      const double d_re = (D(b1[j]) * c1 + 1.0) + D(b2[j]) * c2;
      const double d_im = (0.0 - D(b1[j]) * s1) - D(b2[j]) * s2;
      calls.log10.push_back((n_re * n_re + n_im * n_im) / (d_re * d_re + d_im * d_im));
      calls.atan.push_back((n_im * d_re - n_re * d_im) / (n_re * d_re + n_im * d_im));
    }
  }
  return calls;
}

}  // namespace

int main(int argc, char** argv) {
  char dir[] = "/tmp/corvell-bench-XXXXXX";
  if (!mkdtemp(dir)) return 1;
  const std::string file = std::string(dir) + "/coeff1.txt";
  if (std::FILE* out = std::fopen(file.c_str(), "w")) {
    std::fputs(kBuiltInCoeffFile, out);
    std::fclose(out);
  }

  Quietly([&] { TxtLoad(file.c_str()); });
  const LibraryCalls response = ResponseCalls();

  benchmark::RegisterBenchmark("reader", [file](benchmark::State& state) {
    for (auto _ : state) {
      TxtLoad(file.c_str());
      benchmark::ClobberMemory();
    }
  });
  benchmark::RegisterBenchmark("response", [file](benchmark::State& state) {
    TxtLoad(file.c_str());
    for (auto _ : state) {
      CalcFres(Gain, Theta);
      benchmark::ClobberMemory();
    }
  });
  benchmark::RegisterBenchmark("whole", [file](benchmark::State& state) {
    for (auto _ : state) {
      TxtLoad(file.c_str());
      CalcFres(Gain, Theta);
      benchmark::ClobberMemory();
    }
  });
  RegisterPlot([&] {
    TxtLoad(file.c_str());
    CalcFres(Gain, Theta);
  });
  RegisterFloor("floor response", response);

  const int status = RunTable(argc, argv, "corvell (IIR viewer): pelmora's coefficient file, two sections",
                              {
                                  {"reader (TxtLoad, 10 lines)", "reader", {}, "",
                                   "no mathematics calls: open, read and close of the file, and strtod"},
                                  {"response (CalcFres, double)", "response", {"floor response"}, response.Describe(), ""},
                                  {"reader + response", "whole", {"floor response"}, response.Describe(),
                                   "the floor is the response's: the reader's file calls have none"},
                                  {"DrawFres", "plot", {}, "",
                                   "no mathematics calls: text rendering and line drawing of OpenCV"},
                              });
  unlink(file.c_str());
  rmdir(dir);
  return status;
}
