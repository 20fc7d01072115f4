#include "bench/bench_table.h"

#include <opencv2/core/core_c.h>

#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

// Collects the time per iteration of every repetition of every benchmark.
class Collector : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const double ns = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
      times_[run.run_name.function_name].push_back(ns);
    }
  }
  // Median time per iteration in ns, and the repetitions it is the median of.
  std::pair<double, size_t> Median(const std::string& name) const {
    const auto found = times_.find(name);
    if (found == times_.end() || found->second.empty()) return {NAN, 0};
    std::vector<double> t = found->second;
    std::sort(t.begin(), t.end());
    const size_t n = t.size();
    return {n % 2 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2.0, n};
  }

 private:
  std::map<std::string, std::vector<double>> times_;
};

std::string Time(double ns) {
  char text[32];
  if (std::isnan(ns)) return "-";
  if (ns < 1e3) {
    std::snprintf(text, sizeof text, "%.0f ns", ns);
  } else if (ns < 1e6) {
    std::snprintf(text, sizeof text, "%.1f us", ns / 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.2f ms", ns / 1e6);
  }
  return text;
}

bool HasFlag(int argc, char** argv, const char* prefix) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0) return true;
  }
  return false;
}

}  // namespace

void LibraryCalls::Append(const LibraryCalls& other) {
  cos_sin.insert(cos_sin.end(), other.cos_sin.begin(), other.cos_sin.end());
  cos_sin_single.insert(cos_sin_single.end(), other.cos_sin_single.begin(), other.cos_sin_single.end());
  sin.insert(sin.end(), other.sin.begin(), other.sin.end());
  tan.insert(tan.end(), other.tan.begin(), other.tan.end());
  log10.insert(log10.end(), other.log10.begin(), other.log10.end());
  atan.insert(atan.end(), other.atan.begin(), other.atan.end());
  pow.insert(pow.end(), other.pow.begin(), other.pow.end());
}

std::string LibraryCalls::Describe() const {
  std::string text;
  const auto add = [&](size_t n, const char* name) {
    if (n == 0) return;
    if (!text.empty()) text += ", ";
    text += std::to_string(n) + " " + name;
  };
  add(cos_sin.size() + cos_sin_single.size(), "cos+sin");
  add(sin.size(), "sin");
  add(tan.size(), "tan");
  add(pow.size(), "pow");
  add(log10.size(), "log10");
  add(atan.size(), "atan");
  return text.empty() ? "none" : text;
}

void TimeLibraryCalls(benchmark::State& state, const LibraryCalls& calls) {
  for (auto _ : state) {
    double sink = 0.0;
    for (const double x : calls.cos_sin) {
      const double c = std::cos(x);
      const double s = std::sin(x);
      sink += c;
      sink += s;
    }
    for (const float v : calls.cos_sin_single) {
      const double x = static_cast<double>(v);
      const double c = std::cos(x);
      const double s = std::sin(x);
      sink += c;
      sink += s;
    }
    for (const double x : calls.sin) sink += std::sin(x);
    for (const double x : calls.tan) sink += std::tan(x);
    for (const auto& [x, y] : calls.pow) sink += std::pow(x, y);
    for (const double x : calls.log10) sink += std::log10(x);
    for (const double x : calls.atan) sink += std::atan(x);
    benchmark::DoNotOptimize(sink);
  }
}

void RegisterPlot(const std::function<void()>& fill) {
  IplImage* canvas = CreateCanvas();
  benchmark::RegisterBenchmark("plot", [canvas, fill](benchmark::State& state) {
    fill();
    for (auto _ : state) {
      state.PauseTiming();
      cvSet(canvas, cvScalarAll(255), nullptr);
      state.ResumeTiming();
      DrawFres(canvas, 100, 60, Gain, Theta);
      benchmark::ClobberMemory();
    }
  });
}

void Quietly(const std::function<void()>& f) {
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  const int null = open("/dev/null", O_WRONLY);
  if (null >= 0) dup2(null, STDOUT_FILENO);
  f();
  std::fflush(stdout);
  if (saved >= 0) {
    dup2(saved, STDOUT_FILENO);
    close(saved);
  }
  if (null >= 0) close(null);
}

void RegisterFloor(const std::string& name, const LibraryCalls& calls) {
  benchmark::RegisterBenchmark(name.c_str(), [calls](benchmark::State& state) { TimeLibraryCalls(state, calls); });
}

int RunTable(int argc, char** argv, const std::string& title, const std::vector<TableRow>& rows) {
  // Defaults: 11 repetitions of at least 0.05 s each, interleaved at random.
  std::vector<char*> args(argv, argv + argc);
  std::string repetitions = "--benchmark_repetitions=11";
  std::string min_time = "--benchmark_min_time=0.05";
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  if (!HasFlag(argc, argv, "--benchmark_repetitions")) args.push_back(&repetitions[0]);
  if (!HasFlag(argc, argv, "--benchmark_min_time")) args.push_back(&min_time[0]);
  if (!HasFlag(argc, argv, "--benchmark_enable_random_interleaving")) args.push_back(&interleave[0]);
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;

  Collector collector;
  Quietly([&] { benchmark::RunSpecifiedBenchmarks(&collector); });

  std::printf("\n%s\n", title.c_str());
  std::printf("%-34s %11s %11s %6s  %s\n", "computation", "median", "floor", "ratio", "floor calls / note");
  size_t repeats = 0;
  for (const TableRow& row : rows) {
    const auto [time, n] = collector.Median(row.benchmark);
    repeats = std::max(repeats, n);
    if (row.floor.empty()) {
      std::printf("%-34s %11s %11s %6s  %s\n", row.computation.c_str(), Time(time).c_str(), "-", "n/a",
                  row.note.c_str());
      continue;
    }
    double floor = 0.0;
    for (const std::string& part : row.floor) floor += collector.Median(part).first;
    std::printf("%-34s %11s %11s %6.2f  %s\n", row.computation.c_str(), Time(time).c_str(), Time(floor).c_str(),
                time / floor, row.calls.c_str());
    if (!row.note.empty()) std::printf("%-34s %11s %11s %6s  %s\n", "", "", "", "", row.note.c_str());
  }
  std::printf("(medians of %zu repetitions, interleaved with the floors in one run)\n", repeats);
  return 0;
}
