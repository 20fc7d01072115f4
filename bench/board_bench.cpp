// The board header's filters, as coeff-apply runs them, beside liquid-dsp's
// on the same filters and the same signal: pelmora's built-in cascade of
// two biquad sections (its file, tests/data/pelmora_coeff1.txt) and tavrine's
// 140 taps, read as coeff-apply reads them, given to liquid in the exported
// layouts, over blocks of 4096 samples. Each iteration runs the four in
// turns, each timed on the thread's processor time, so that all see the
// same moments of a shared machine; the table gives medians of 31
// repetitions in samples per second, and the ratio of the header's to
// liquid's.

#include <benchmark/benchmark.h>
#include <liquid/liquid.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "board/filter_board.h"
#include "coeff/coeff_reading.h"

namespace {

constexpr unsigned kBlock = 4096, kBlocks = 16;

double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

template <typename F>
double Timed(F f) {
  const double start = ThreadSeconds();
  f();
  return ThreadSeconds() - start;
}

// The four filters on one signal, each running on over its blocks (its
// state carries on from one iteration to the next, as in a stream).
void Turns(benchmark::State& state) {
  const std::vector<float> c = ReadCoefficientFile(CoeffKind::kBiquad, PELMORA_FILE).values;
  std::vector<float> h = ReadCoefficientFile(CoeffKind::kFir, TAVRINE_FILE).values;
  std::vector<float> in(kBlock * kBlocks), out(in.size()), biquad_state(c.size()), delay(2 * h.size());
  uint32_t s = 1;
  for (float& v : in) v = float(int32_t(s = s * 1664525u + 1013904223u) >> 8) * 0x1p-23f;
  fb_biquad f;
  fb_biquad_init(&f, int(c.size() / 5), c.data(), biquad_state.data());
  fb_fir g;
  fb_fir_init(&g, int(h.size()), h.data(), delay.data());
  // liquid's sections: B = a0 a1 a2 and A = 1 b1 b2 of the file's (the biquad-sos rows).
  std::vector<float> b, a;
  for (size_t k = 0; k + 5 <= c.size(); k += 5) {
    b.insert(b.end(), {c[k], c[k + 1], c[k + 2]});
    a.insert(a.end(), {1.0f, c[k + 3], c[k + 4]});
  }
  iirfilt_rrrf iir = iirfilt_rrrf_create_sos(b.data(), a.data(), unsigned(c.size() / 5));
  firfilt_rrrf fir = firfilt_rrrf_create(h.data(), unsigned(h.size()));
  double seconds[4] = {};
  for (auto _ : state) {
    seconds[0] += Timed([&] {
      for (unsigned i = 0; i < kBlocks; ++i) fb_biquad_run(&f, &in[i * kBlock], &out[i * kBlock], kBlock);
    });
    seconds[1] += Timed([&] {
      for (unsigned i = 0; i < kBlocks; ++i) iirfilt_rrrf_execute_block(iir, &in[i * kBlock], kBlock, &out[i * kBlock]);
    });
    seconds[2] += Timed([&] {
      for (unsigned i = 0; i < kBlocks; ++i) fb_fir_run(&g, &in[i * kBlock], &out[i * kBlock], kBlock);
    });
    seconds[3] += Timed([&] {
      for (unsigned i = 0; i < kBlocks; ++i) firfilt_rrrf_execute_block(fir, &in[i * kBlock], kBlock, &out[i * kBlock]);
    });
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  iirfilt_rrrf_destroy(iir);
  firfilt_rrrf_destroy(fir);
  const double samples = double(state.iterations()) * kBlock * kBlocks;
  const char* names[4] = {"biquad header", "biquad liquid", "fir header", "fir liquid"};
  for (int i = 0; i < 4; ++i) state.counters[names[i]] = samples / seconds[i];
}

// Keeps the counters (samples per second) of each repetition.
struct Counters : benchmark::BenchmarkReporter {
  std::map<std::string, std::vector<double>> rates;
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      for (const auto& [name, counter] : run.counters)
        if (run.run_type == Run::RT_Iteration) rates[name].push_back(counter.value);
  }
  double Median(const std::string& name) {
    std::vector<double> v = rates[name];
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2.0;
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("filters", Turns);
  char repetitions[] = "--benchmark_repetitions=31", min_time[] = "--benchmark_min_time=0.05";
  std::vector<char*> args = {argv[0], repetitions, min_time};
  args.insert(args.end(), argv + 1, argv + argc);
  int count = int(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;
  Counters counters;
  benchmark::RunSpecifiedBenchmarks(&counters);
  std::printf("\nThe board header beside liquid-dsp (samples per second, processor time of the thread)\n");
  std::printf("%-34s %14s %14s %8s\n", "filter", "header", "liquid-dsp", "ratio");
  for (const auto& [label, name] :
       {std::pair{"biquad cascade, pelmora's 2 sections", "biquad"}, {"FIR, tavrine's 140 taps", "fir"}}) {
    const double ours = counters.Median(name + std::string(" header")),
                 theirs = counters.Median(name + std::string(" liquid"));
    std::printf("%-34s %12.1f M %12.1f M %8.2f\n", label, ours / 1e6, theirs / 1e6, ours / theirs);
  }
  std::printf("(medians of %zu repetitions of blocks of %u samples)\n", counters.rates["fir header"].size(), kBlock);
  return 0;
}
