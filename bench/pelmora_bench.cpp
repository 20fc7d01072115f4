// pelmora's computation from its built-in parameters to filled Gain and
// Theta (design chain, then the cascade response in single precision), and
// the plot, each against the mathematics calls it has to make.

#include <cmath>

#include "bench/bench_table.h"
#include "iir/cascade_response.h"
#include "iir/iir_design.h"
#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

namespace {

double D(float v) { return static_cast<double>(v); }

// pelmora's main up to the response: its parameters and the design chain.
void DesignChain() {
  ResetCoefficients();
  Pi = 3.14159f;
  Fsamp = 22050.0f;
  OrderN = 2;
  FilType = kBandPass;
  FC1 = 2000.0f;
  FC2 = 5000.0f;
  p_Fsamp = Fsamp;
  p_fc = FC1;
  p_fc2 = FC2;
  p_AC = 3.0f;
  BasicFilCal();
  PreWarp();
  FreqTrans();
  SZTrans();
}

// The chain's calls: pow twice and sin once for the prototype, tan once
// per corner. (Its square roots are one instruction each, not counted.)
LibraryCalls DesignCalls() {
  LibraryCalls calls;
  const double power = std::pow(10.0, D(p_AC) / 10.0);
  const float eps = static_cast<float>(std::sqrt(power - 1.0));
  calls.pow = {{10.0, D(p_AC) / 10.0}, {D(eps), -1.0 / static_cast<double>(OrderN)}};
  calls.sin = {D(Pi) / (2.0 * static_cast<double>(OrderN))};
  for (const float fc : {p_fc, p_fc2}) {
    calls.tan.push_back(2.0 * D(Pi) * D(fc) / (2.0 * D(p_Fsamp)));
  }
  return calls;
}

// The response's calls, on the arguments it passes: cos and sin of w and
// 2w per point, log10 and atan per point and section.
LibraryCalls ResponseCalls() {
  LibraryCalls calls;
  for (int i = 0; i < kResponsePoints; ++i) {
    const float w = static_cast<float>(D(static_cast<float>(i) * Pi) / 180.0 + 0.001);
    const double c1 = std::cos(D(w)), s1 = std::sin(D(w));
    const double c2 = std::cos(2.0 * D(w)), s2 = std::sin(2.0 * D(w));
    calls.cos_sin.push_back(D(w));
    calls.cos_sin.push_back(2.0 * D(w));
    for (int j = 0; j < 2; ++j) {
      const float n_re = static_cast<float>((D(p_a0[j]) + D(p_a1[j]) * c1) + D(p_a2[j]) * c2);
      const float n_im = static_cast<float>((0.0 - D(p_a1[j]) * s1) - D(p_a2[j]) * s2);
      const float d_re = static_cast<float>((D(p_b1[j]) * c1 + 1.0) + D(p_b2[j]) * c2);
      const float d_im = static_cast<float>((0.0 - D(p_b1[j]) * s1) - D(p_b2[j]) * s2);
      calls.log10.push_back(D((n_re * n_re + n_im * n_im) / (d_re * d_re + d_im * d_im)));
      calls.atan.push_back(D((n_im * d_re - n_re * d_im) / (n_re * d_re + n_im * d_im)));
    }
  }
  return calls;
}

}  // namespace

int main(int argc, char** argv) {
  DesignChain();
  const LibraryCalls design = DesignCalls();
  const LibraryCalls response = ResponseCalls();
  LibraryCalls whole = design;
  whole.Append(response);

  benchmark::RegisterBenchmark("design chain", [](benchmark::State& state) {
    for (auto _ : state) {
      DesignChain();
      benchmark::ClobberMemory();
    }
  });
  benchmark::RegisterBenchmark("response", [](benchmark::State& state) {
    DesignChain();
    for (auto _ : state) {
      CalcFres(Gain, Theta);
      benchmark::ClobberMemory();
    }
  });
  benchmark::RegisterBenchmark("whole", [](benchmark::State& state) {
    for (auto _ : state) {
      DesignChain();
      CalcFres(Gain, Theta);
      benchmark::ClobberMemory();
    }
  });
  RegisterPlot([] {
    DesignChain();
    CalcFres(Gain, Theta);
    gain_range = 100.0f;
    freq_range = 10000.0f;
  });
  RegisterFloor("floor design chain", design);
  RegisterFloor("floor response", response);

  return RunTable(argc, argv, "pelmora (IIR designer): built-in band-pass, two biquad sections",
                  {
                      {"design chain (BasicFilCal..SZTrans)", "design chain", {"floor design chain"}, design.Describe(),
                       "seven square roots (one instruction each), divisions and stores are the rest"},
                      {"response (CalcFres, single)", "response", {"floor response"}, response.Describe(), ""},
                      {"parameters to Gain/Theta", "whole", {"floor design chain", "floor response"}, whole.Describe(),
                       "floor: the sum of the parts' floors"},
                      {"DrawFres", "plot", {}, "",
                       "no mathematics calls: text rendering and line drawing of OpenCV"},
                  });
}
