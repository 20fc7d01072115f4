// One change of a live tuner as its window makes it, for the built-in
// kind of design and the heaviest (pelmora: a band-pass of order 2, and an
// elliptic one of order 8, eight sections; tavrine: the window's 400 taps
// and 400 frequency samples, and an equiripple design of 399 taps), in its
// parts and whole:
// the limits (the value asked checked, held at an edge if need be), the
// design chain, the dense responses of the design and of its file (2048
// points each, the file's text written and read back), and the whole
// change through the window on Qt's offscreen platform: limits, the
// fields' ranges, design, responses and the plot replotted. Each change
// moves a corner or edge between two values, so that every one makes a
// new design. Built once per tuner (BENCH_PELMORA_TUNE or not), since each
// holds its own state. Times are the process's processor time; the goal
// is under one frame of a 60 Hz display (16.7 ms), and 100 ms for a change
// that runs the exchange on 399 taps.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "tune/analysis.h"
#include "tune/tuner_window.h"

#if defined(BENCH_PELMORA_TUNE)
#include "core/state.h"
#include "iir/cascade_response.h"
#include "iir/pelmora_tuning.h"
// The built-in design, and the most sections: an elliptic band-pass of
// order 8.
PelmoraTuner tuners[2] = {PelmoraTuner(kBuiltInPelmoraDesign), PelmoraTuner([] {
                            PelmoraDesign d = kBuiltInPelmoraDesign;
                            d.family = iirproto::kElliptic;
                            d.order = 8;
                            return d;
                          }())};
const char* const kNames[2] = {"pelmora-tune (band-pass of order 2): ",
                               "pelmora-tune (elliptic band-pass of order 8, 8 sections): "};
constexpr int kField = PelmoraTuner::kLowerCorner;
// The chain as the designer runs it, with its response.
void MakeChain(const PelmoraDesign& d) {
  MakePelmoraDesign(d);
  CalcFres(Gain, Theta);
}
#else
#include "core/state.h"
#include "fir/fir_design.h"
#include "fir/taps.h"
#include "fir/tavrine_tuning.h"
// The window's heaviest (400 taps, 400 samples), and the exchange's: an
// equiripple low-pass of 399 taps.
TavrineTuner tuners[2] = {TavrineTuner([] {
                            TavrineDesign heaviest = kBuiltInTavrineDesign;
                            heaviest.taps = 400;
                            return heaviest;
                          }()),
                          TavrineTuner([] {
                            TavrineDesign d = kBuiltInTavrineDesign;
                            d.type = kLowPass;
                            d.method = kEquirippleMethod;
                            d.taps = 399;
                            return d;
                          }())};
const char* const kNames[2] = {"tavrine-tune (400 taps, 400 samples): ",
                               "tavrine-tune (equiripple low-pass, 399 taps): "};
constexpr int kField = TavrineTuner::kEdge1;
void MakeChain(const TavrineDesign& d) {
  MakeTavrineDesign(d);
  CalcFres(Gain, Theta);
}
#endif

namespace {

const double kValues[2] = {2000.0, 3000.0};

void Limits(benchmark::State& state, int which) {
  int turn = 0;
  for (auto _ : state) tuners[which].Set(kField, kValues[turn ^= 1]);
}

void Design(benchmark::State& state, int which) {
  int turn = 0;
  for (auto _ : state) {
    tuners[which].Set(kField, kValues[turn ^= 1]);
    MakeChain(tuners[which].design());
  }
}

void Responses(benchmark::State& state, int which) {
  const Tuner& tuner = tuners[which];
  const Cascade design = tuner.Design();
  const std::vector<double> hz = FrequencyGrid(0.0, tuner.Fsamp() / 2, 2048, false);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ResponseOn(design, hz, tuner.Fsamp()));
    benchmark::DoNotOptimize(ResponseOn(tuner.FromFile(tuner.FileText()), hz, tuner.Fsamp()));
  }
}

void WholeChange(benchmark::State& state, int which) {
  TunerWindow window(tuners[which]);
  window.resize(1024, 600);
  window.show();
  QApplication::processEvents();
  int turn = 0;
  for (auto _ : state) window.Change(kField, kValues[turn ^= 1]);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  const std::pair<const char*, void (*)(benchmark::State&, int)> rows[] = {
      {"limits", Limits},
      {"limits and design", Design},
      {"dense responses of design and file", Responses},
      {"one change through the window, replotted", WholeChange}};
  for (int which = 0; which < 2; ++which) {
    for (const auto& [name, row] : rows) {
      benchmark::RegisterBenchmark((std::string(kNames[which]) + name).c_str(), row, which)
          ->MeasureProcessCPUTime()
          ->Repetitions(which == 0 ? 31 : 7)
          ->ReportAggregatesOnly(true)
          ->MinTime(0.02);
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
