// One change of a live tuner as its window makes it: the trackbar's new
// position checked against the limits, the design and its response, and
// the plot drawn again on the whitened canvas; at the tuner's heaviest
// design (pelmora: a band type of order 2, two sections; tavrine: 400
// taps and 400 frequency samples). Each change moves a corner or edge
// between two positions, so that every one makes a new design. Built once
// per tuner (BENCH_PELMORA_TUNE or not), since each holds its own state.
// Times are the thread's processor time; the goal is well under one frame
// of a 60 Hz display (16.7 ms).

#include <benchmark/benchmark.h>

#include "plot/response_plot.h"
#include "tune/tune_window.h"

#if defined(BENCH_PELMORA_TUNE)
#include "iir/pelmora_tuning.h"
const LabelColumn& kLabels = kPelmoraLabels;
PelmoraTuner tuner(kBuiltInPelmoraDesign);
constexpr int kControl = PelmoraTuner::kLowerCorner;
const char* const kName = "pelmora-tune: one change (band-pass of order 2)";
#else
#include "fir/tavrine_tuning.h"
const LabelColumn& kLabels = kTavrineLabels;
TavrineTuner tuner([] {
  TavrineDesign heaviest = kBuiltInTavrineDesign;
  heaviest.taps = 400;
  return heaviest;
}());
constexpr int kControl = TavrineTuner::kEdge1;
const char* const kName = "tavrine-tune: one change (400 taps, 400 samples)";
#endif

namespace {

void Change(benchmark::State& state) {
  IplImage* const canvas = CreateCanvas();
  int positions[2] = {2000, 3000}, turn = 0;
  for (auto _ : state) {
    tuner.Move(kControl, positions[turn ^= 1]);
    DrawDesign(tuner, canvas, kLabels);
  }
}

}  // namespace

BENCHMARK(Change)->Name(kName)->MeasureProcessCPUTime()->Repetitions(31)->ReportAggregatesOnly(true)->MinTime(0.02);
BENCHMARK_MAIN();
