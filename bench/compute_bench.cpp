// A program's computation, from its parameters (designers, as configured)
// or its input file (viewers, the designers' default output) to filled
// Gain and Theta, timed against its floor: the same mathematics library
// calls on the same arguments, with nothing around them. Also the plot of
// the result. Built once per program (BENCH_PELMORA, ...), since each
// program's state is its own.
//
// The floor is recorded, not restated: the link wraps the library
// functions that the computations call (CMakeLists.txt), and the wrappers
// keep their arguments during one run of the computation. The wrappers
// stay in the computation's path when it is timed (a test and a jump per
// call) and the floor calls the library directly, so the ratio errs on
// the high side. Times are the thread's processor time, so that other
// work on the machine, which takes the processor away now and then, does
// not count as the computation's.

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/state.h"
#include "plot/frame.h"
#include "plot/response_plot.h"

#if defined(WITH_REMEZ)
#include <liquid/liquid.h>

#include "fir/remez.h"
#endif

#if defined(BENCH_PELMORA)
#include "iir/cascade_response.h"
#include "iir/pelmora_design.h"
#include "pelmora_parameters.h"
const char* const kTitle = "pelmora (IIR designer): its configured design (by default band-pass, order 2)";
const LabelColumn& kLabels = kPelmoraLabels;
constexpr bool kReadsFile = false;
// The design is made as pelmora makes it, parameters and chain.
void Input() {}
void Compute() {
  MakePelmoraDesign(kConfiguredDesign);
  CalcFres(Gain, Theta);
}
#elif defined(BENCH_TAVRINE)
#include "fir/taps.h"
#include "fir/tavrine_design.h"
#include "tavrine_parameters.h"
const char* const kTitle = "tavrine (FIR designer): its configured design (by default band-pass, 140 taps, 400 bins)";
const LabelColumn& kLabels = kTavrineLabels;
constexpr bool kReadsFile = false;
// The design is made as tavrine makes it, parameters and chain.
void Input() {}
void Compute() {
  MakeTavrineDesign(kConfiguredDesign);
  CalcFres(Gain, Theta);
}
#elif defined(BENCH_CORVELL)
#include "iir/cascade_response.h"
#include "iir/coeff_file.h"
const char* const kTitle = "corvell (IIR viewer): pelmora's default coefficient file (10 lines, two sections)";
const LabelColumn& kLabels = kCorvellLabels;
constexpr bool kReadsFile = true;
void Input() { TxtLoad(PELMORA_FILE); }
void Compute() { CalcFres(Gain, Theta); }
#elif defined(BENCH_SUNNAQ)
#include "fir/tap_file.h"
#include "fir/taps.h"
const char* const kTitle = "sunnaq (FIR viewer): tavrine's default tap file (140 lines)";
const LabelColumn& kLabels = kSunnaqLabels;
constexpr bool kReadsFile = true;
void Input() { TxtLoad(TAVRINE_FILE, hh); }
void Compute() { CalcFres(Gain, Theta); }
#endif

namespace {

// The arguments of the library calls, by function, in the order made.
struct Calls {
  std::vector<double> sincos, sin, tan, log10, atan;
  std::vector<std::pair<double, double>> pow;
};
Calls recorded;
bool recording = false;

}  // namespace

// Each wrapper is a test and a jump; the recording is out of its path.
#define WRAP(type, f, params, args, kept)                                                       \
  type __real_##f params;                                                                       \
  [[gnu::noinline, gnu::cold]] type Keep_##f params { return recorded.f.emplace_back kept, __real_##f args; } \
  type __wrap_##f params { return recording ? Keep_##f args : __real_##f args; }
extern "C" {
WRAP(void, sincos, (double x, double* s, double* c), (x, s, c), (x))
WRAP(double, pow, (double x, double y), (x, y), (x, y))
WRAP(double, sin, (double x), (x), (x))
WRAP(double, tan, (double x), (x), (x))
WRAP(double, log10, (double x), (x), (x))
WRAP(double, atan, (double x), (x), (x))
}

namespace {

// The recorded calls, made again one after the other.
void FloorCalls() {
  double sink = 0.0, s, c;
  for (const double x : recorded.sincos) {
    __real_sincos(x, &s, &c);
    sink += s + c;
  }
  for (const double x : recorded.sin) sink += __real_sin(x);
  for (const double x : recorded.tan) sink += __real_tan(x);
  for (const auto& [x, y] : recorded.pow) sink += __real_pow(x, y);
  for (const double x : recorded.log10) sink += __real_log10(x);
  for (const double x : recorded.atan) sink += __real_atan(x);
  benchmark::DoNotOptimize(sink);
}

void Whole() {
  Input();
  Compute();
}

void Plot() {
  static IplImage* const canvas = CreateCanvas();
  DrawFres(canvas, kPlotX0, kPlotY0, Gain, Theta, kLabels);
}

// The processor time (ns) that this thread spends in f.
double Timed(void (*f)()) {
  timespec t0, t1;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t0);
  f();
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t1);
  return (t1.tv_sec - t0.tv_sec) * 1e9 + (t1.tv_nsec - t0.tv_nsec);
}

// Each iteration runs the whole computation, the computation alone (viewers:
// on the file just loaded) and the floor, in turns, so that all three see
// the same moments of a machine shared with other work; their mean times
// per iteration are kept as counters.
void Turns(benchmark::State& state) {
  double whole = 0.0, response = 0.0, floor = 0.0;
  for (auto _ : state) {
    whole += Timed(Whole);
    if (kReadsFile) response += Timed(Compute);
    floor += Timed(FloorCalls);
  }
  for (const auto& [name, ns] : {std::pair{"whole", whole}, {"response", response}, {"floor", floor}}) {
    state.counters[name] = benchmark::Counter(ns, benchmark::Counter::kAvgIterations);
  }
}

// The plot of the result, over and over on one canvas (drawing costs the
// same whatever the canvas holds).
void Plots(benchmark::State& state) {
  Whole();
  double plot = 0.0;
  for (auto _ : state) plot += Timed(Plot);
  state.counters["plot"] = benchmark::Counter(plot, benchmark::Counter::kAvgIterations);
}

#if defined(WITH_REMEZ)
// Equiripple designs beside liquid-dsp's: a low-pass of 399 taps, pass
// band to 0.2, stop band from 0.21, equal weights, by each; and the
// search for the fewest taps of a low-pass at 8000 Hz passing to 1000 Hz
// within 0.1 dB, 60 dB down from 1200 Hz.
const std::vector<RemezBand> kEquirippleBands = {{0.0, 0.2, 1.0, 1.0}, {0.21, 0.5, 0.0, 1.0}};
constexpr int kEquirippleTaps = 399;
const FilterTolerance kFewestExample = {kLowPass, 8000.0, 1100.0, 0.0, 200.0, 0.1, 60.0};
std::vector<double> equiripple_taps, liquid_taps(kEquirippleTaps);
FewestTaps fewest;

void EquirippleDesign() { equiripple_taps = RemezDesign(kEquirippleTaps, kEquirippleBands).taps; }
void LiquidDesign() {
  float edges[] = {0.0f, 0.2f, 0.21f, 0.5f}, gains[] = {1.0f, 0.0f}, weights[] = {1.0f, 1.0f}, h[kEquirippleTaps];
  liquid_firdespm_wtype flat[] = {LIQUID_FIRDESPM_FLATWEIGHT, LIQUID_FIRDESPM_FLATWEIGHT};
  firdespm_run(kEquirippleTaps, 2, edges, gains, weights, flat, LIQUID_FIRDESPM_BANDPASS, h);
  std::copy(h, h + kEquirippleTaps, liquid_taps.begin());
}
void FewestSearch() { fewest = FewestEquirippleTaps(kFewestExample); }

// The largest weighted error of the taps on 32 points per 1/N of the bands.
double LargestWeightedError(const std::vector<double>& h) {
  const double centre = (h.size() - 1) / 2.0;
  double largest = 0.0;
  for (const RemezBand& b : kEquirippleBands) {
    const int points = static_cast<int>((b.upper - b.lower) * 32 * h.size()) + 2;
    for (int j = 0; j < points; ++j) {
      const double f = b.lower + (b.upper - b.lower) * j / (points - 1);
      double a = 0.0;
      for (size_t n = 0; n < h.size(); ++n) a += h[n] * std::cos(2.0 * M_PI * f * (n - centre));
      largest = std::max(largest, b.weight * std::fabs(b.gain - a));
    }
  }
  return largest;
}

void Equiripple(benchmark::State& state) {
  double ours = 0.0, liquid = 0.0, search = 0.0;
  for (auto _ : state) {
    ours += Timed(EquirippleDesign);
    liquid += Timed(LiquidDesign);
    search += Timed(FewestSearch);
  }
  for (const auto& [name, ns] : {std::pair{"remez", ours}, {"liquid", liquid}, {"fewest", search}}) {
    state.counters[name] = benchmark::Counter(ns, benchmark::Counter::kAvgIterations);
  }
}
#endif

// Keeps the counters (ns per iteration) of each repetition.
struct Counters : benchmark::BenchmarkReporter {
  std::map<std::string, std::vector<double>> ns;
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      for (const auto& [name, counter] : run.counters) {
        if (run.run_type == Run::RT_Iteration) ns[name].push_back(counter.value);
      }
    }
  }
  double Median(const std::string& name) {
    std::vector<double> v = ns[name];
    std::sort(v.begin(), v.end());
    return v.empty() ? NAN : (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2.0;
  }
};

}  // namespace

int main(int argc, char** argv) {
  // The readers print a line per call: standard output goes to /dev/null
  // while the benchmarks run, the table to the original.
  std::fflush(stdout);
  FILE* table = fdopen(dup(STDOUT_FILENO), "w");
  if (!table || !std::freopen("/dev/null", "w", stdout)) return 1;

  recording = true;
  Whole();
  recording = false;
  benchmark::RegisterBenchmark("computation", Turns);
  benchmark::RegisterBenchmark("plot", Plots);
#if defined(WITH_REMEZ)
  benchmark::RegisterBenchmark("equiripple", Equiripple);
#endif

  // Defaults, which the command line can override: 31 short repetitions
  // (at least 0.02 s each), interleaved at random.
  char repetitions[] = "--benchmark_repetitions=31", min_time[] = "--benchmark_min_time=0.02",
       interleave[] = "--benchmark_enable_random_interleaving=true";
  std::vector<char*> args = {argv[0], repetitions, min_time, interleave};
  args.insert(args.end(), argv + 1, argv + argc);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;
  Counters counters;
  benchmark::RunSpecifiedBenchmarks(&counters);

  // "720 sincos, 720 log10, 720 atan"
  std::string calls;
  for (const auto& [n, name] : {std::pair{recorded.sincos.size(), "sincos"}, {recorded.sin.size(), "sin"},
                                {recorded.tan.size(), "tan"}, {recorded.pow.size(), "pow"},
                                {recorded.log10.size(), "log10"}, {recorded.atan.size(), "atan"}}) {
    if (n > 0) calls += (calls.empty() ? "" : ", ") + std::to_string(n) + " " + name;
  }
  std::fprintf(table, "\n%s\n%-30s %10s %10s %6s  %s\n", kTitle, "computation", "median", "floor", "ratio",
               "calls in the floor");
  const double floor = counters.Median("floor");
  const auto row = [&](const char* what, const char* name) {
    std::fprintf(table, "%-30s %7.1f us %7.1f us %6.2f  %s\n", what, counters.Median(name) / 1e3, floor / 1e3,
                 counters.Median(name) / floor, calls.c_str());
  };
  row(kReadsFile ? "file to Gain/Theta" : "parameters to Gain/Theta", "whole");
  if (kReadsFile) row("response of the loaded file", "response");
  std::fprintf(table, "%-30s %7.1f us %10s %6s  none: OpenCV's text and line drawing\n", "plot (DrawFres)",
               counters.Median("plot") / 1e3, "-", "n/a");
#if defined(WITH_REMEZ)
  std::fprintf(table, "%-30s %7.1f us %10s %6s  largest weighted error %.6g\n", "equiripple 399 taps (ours)",
               counters.Median("remez") / 1e3, "-", "n/a", LargestWeightedError(equiripple_taps));
  std::fprintf(table, "%-30s %7.1f us %10s %6.2f  largest weighted error %.6g (ratio: ours / liquid-dsp)\n",
               "equiripple 399 taps (liquid)", counters.Median("liquid") / 1e3, "-",
               counters.Median("remez") / counters.Median("liquid"), LargestWeightedError(liquid_taps));
  std::fprintf(table, "%-30s %7.1f us %10s %6s  %d taps (estimate %d)\n", "fewest taps, 0.1 dB / 60 dB",
               counters.Median("fewest") / 1e3, "-", "n/a", fewest.taps, fewest.estimate);
#endif
  std::fprintf(table, "(medians of %zu repetitions; processor time of the thread)\n", counters.ns["floor"].size());
  return 0;
}
