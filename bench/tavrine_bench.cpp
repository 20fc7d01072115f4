// tavrine's computation from its built-in parameters to filled Gain and
// Theta (tap count, desired response, inverse DFT, Kaiser window, FIR
// response), stage by stage and whole, and the plot.

#include <algorithm>
#include <cmath>

#include "bench/bench_table.h"
#include "bench/fir_response_calls.h"
#include "fir/fir_design.h"
#include "fir/taps.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

namespace {

double D(float v) { return static_cast<double>(v); }

// tavrine's main up to the design chain: its parameters.
void SetParameters() {
  Fsamp = 22050.0f;
  gain_range = 100.0f;
  freq_range = 10000.0f;
  FresN = 400;
  lpf_fc1 = 3000.0f;
  hpf_fc1 = 3000.0f;
  bpf_fc1 = 2000.0f;
  bpf_fc2 = 8000.0f;
  brf_fc1 = 3000.0f;
  brf_fc2 = 7000.0f;
  alpha = 7.0f;
  FilType = kBandPass;
  TapN = 140;
}

void Whole() {
  SetParameters();
  AdjustTapCount();
  PutParam();
  DoIdft();
  Kaiser(TapN, alpha);
  CalcFres(Gain, Theta);
}

// The inverse DFT's calls: cos and sin of every angle of the outputs
// x[0] to x[TapN_2], over all bins.
LibraryCalls IdftCalls() {
  LibraryCalls calls;
  const double two_pi = D(Pi) + D(Pi);
  for (int n = 0; n <= TapN_2; ++n) {
    for (int k = 0; k < FresN; ++k) {
      const float theta = static_cast<float>(((two_pi * static_cast<double>(k)) * static_cast<double>(n)) /
                                             static_cast<double>(FresN));
      calls.cos_sin_single.push_back(theta);
    }
  }
  return calls;
}

}  // namespace

int main(int argc, char** argv) {
  Whole();
  const LibraryCalls idft = IdftCalls();
  const LibraryCalls response = FirResponseCalls();
  LibraryCalls whole = idft;
  whole.Append(response);

  benchmark::RegisterBenchmark("PutParam", [](benchmark::State& state) {
    Whole();
    for (auto _ : state) {
      PutParam();
      benchmark::ClobberMemory();
    }
  });
  benchmark::RegisterBenchmark("DoIdft", [](benchmark::State& state) {
    Whole();
    for (auto _ : state) {
      DoIdft();
      benchmark::ClobberMemory();
    }
  });
  benchmark::RegisterBenchmark("Kaiser", [](benchmark::State& state) {
    Whole();
    DoIdft();
    float unwindowed[kMaxTaps];
    std::copy(hh, hh + kMaxTaps, unwindowed);
    for (auto _ : state) {
      // On the same unwindowed taps every time; the copy is not timed.
      state.PauseTiming();
      std::copy(unwindowed, unwindowed + kMaxTaps, hh);
      state.ResumeTiming();
      Kaiser(TapN, alpha);
      benchmark::ClobberMemory();
    }
  });
  benchmark::RegisterBenchmark("response", [](benchmark::State& state) {
    Whole();
    for (auto _ : state) {
      CalcFres(Gain, Theta);
      benchmark::ClobberMemory();
    }
  });
  benchmark::RegisterBenchmark("whole", [](benchmark::State& state) {
    for (auto _ : state) {
      Whole();
      benchmark::ClobberMemory();
    }
  });
  RegisterPlot([] {
    Whole();
  });
  RegisterFloor("floor DoIdft", idft);
  RegisterFloor("floor response", response);

  return RunTable(argc, argv, "tavrine (FIR designer): built-in band-pass, 400 bins, 139 taps, Kaiser alpha 7",
                  {
                      {"PutParam", "PutParam", {}, "",
                       "no call made: its pow(10, -10) has constant arguments, folded by the compiler;"
                       " filling 2 x 400 floats"},
                      {"DoIdft (70 outputs x 400 bins)", "DoIdft", {"floor DoIdft"}, idft.Describe(), ""},
                      {"Kaiser (139 taps)", "Kaiser", {}, "",
                       "no transcendental call: 140 I0 power series in single precision (division-bound)"},
                      {"response (CalcFres)", "response", {"floor response"}, response.Describe(), ""},
                      {"parameters to Gain/Theta", "whole", {"floor DoIdft", "floor response"}, whole.Describe(),
                       "floor: the sum of the parts' floors; Kaiser's series has none"},
                      {"DrawFres", "plot", {}, "",
                       "no mathematics calls: text rendering and line drawing of OpenCV"},
                  });
}
