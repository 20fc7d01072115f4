// One change of a live tuner as its window makes it, at the tuner's
// heaviest design (pelmora: a band type of order 2, two sections;
// tavrine: 400 taps and 400 frequency samples), in its parts and whole:
// the limits (the value asked checked, held at an edge if need be), the
// design chain, the dense responses of the design and of its file (2048
// points each, the file's text written and read back), and the whole
// change through the window on Qt's offscreen platform: limits, the
// fields' ranges, design, responses and the plot replotted. Each change
// moves a corner or edge between two values, so that every one makes a
// new design. Built once per tuner (BENCH_PELMORA_TUNE or not), since each
// holds its own state. Times are the process's processor time; the goal
// is under one frame of a 60 Hz display (16.7 ms).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "tune/analysis.h"
#include "tune/tuner_window.h"

#if defined(BENCH_PELMORA_TUNE)
#include "iir/pelmora_tuning.h"
PelmoraTuner tuner(kBuiltInPelmoraDesign);
constexpr int kField = PelmoraTuner::kLowerCorner;
#define NAME "pelmora-tune (band-pass of order 2): "
#else
#include "fir/tavrine_tuning.h"
TavrineTuner tuner([] {
  TavrineDesign heaviest = kBuiltInTavrineDesign;
  heaviest.taps = 400;
  return heaviest;
}());
constexpr int kField = TavrineTuner::kEdge1;
#define NAME "tavrine-tune (400 taps, 400 samples): "
#endif

namespace {

const double kValues[2] = {2000.0, 3000.0};

void Limits(benchmark::State& state) {
  int turn = 0;
  for (auto _ : state) tuner.Set(kField, kValues[turn ^= 1]);
}

void Design(benchmark::State& state) {
  int turn = 0;
  for (auto _ : state) {
    tuner.Set(kField, kValues[turn ^= 1]);
    tuner.Make();
  }
}

void Responses(benchmark::State& state) {
  tuner.Make();
  const Cascade design = tuner.Design();
  const std::vector<double> hz = FrequencyGrid(0.0, tuner.Fsamp() / 2, 2048, false);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ResponseOn(design, hz, tuner.Fsamp()));
    benchmark::DoNotOptimize(ResponseOn(tuner.FromFile(tuner.FileText()), hz, tuner.Fsamp()));
  }
}

void WholeChange(benchmark::State& state) {
  TunerWindow window(tuner);
  window.resize(1024, 600);
  window.show();
  QApplication::processEvents();
  int turn = 0;
  for (auto _ : state) window.Change(kField, kValues[turn ^= 1]);
}

}  // namespace

#define ROW(f, name) \
  BENCHMARK(f)->Name(NAME name)->MeasureProcessCPUTime()->Repetitions(31)->ReportAggregatesOnly(true)->MinTime(0.02)
ROW(Limits, "limits");
ROW(Design, "limits and design");
ROW(Responses, "dense responses of design and file");
ROW(WholeChange, "one change through the window, replotted");

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
