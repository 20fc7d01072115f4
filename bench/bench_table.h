// Benchmark tables: each computation of a program timed against its floor,
// the same number of calls of the same mathematics functions on the same
// arguments, timed in the same run.
//
// A benchmark binary registers its computations and their floors with
// Google Benchmark, then calls RunTable with the rows to print. The
// repetitions of all benchmarks are interleaved at random, so that a
// computation and its floor see the same state of the machine.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The mathematics calls that a computation makes, with their arguments in
// the order it makes them. cos and sin of the same argument are one entry
// of cos_sin (the compiler makes one sincos call of the pair, in the
// computation as here).
struct LibraryCalls {
  std::vector<double> cos_sin;
  // Arguments that are single-precision values widened to double, kept as
  // such: half the memory, and the same widening as in the computation.
  std::vector<float> cos_sin_single;
  std::vector<double> sin;
  std::vector<double> tan;
  std::vector<double> log10;
  std::vector<double> atan;
  std::vector<std::pair<double, double>> pow;

  void Append(const LibraryCalls& other);
  // "28000 cos+sin, 360 log10, 360 atan".
  std::string Describe() const;
};

// Times the calls of `calls`, one pass per iteration.
void TimeLibraryCalls(benchmark::State& state, const LibraryCalls& calls);

// A row of the table: the benchmark that times the computation, and the
// benchmarks that time its floor, whose medians add up to the floor (none:
// no floor applies, and `note` says why and what dominates the time).
struct TableRow {
  std::string computation;
  std::string benchmark;
  std::vector<std::string> floor;
  std::string calls;
  std::string note;
};

// Registers `calls` as the floor benchmark `name`.
void RegisterFloor(const std::string& name, const LibraryCalls& calls);

// Runs every registered benchmark (11 repetitions, interleaved at random,
// unless the command line says otherwise) and prints the table of `rows`:
// median time per run of each computation, of its floor, and their ratio.
// Standard output goes to /dev/null while the benchmarks run (the readers
// print a line per call). Returns the process's exit status.
int RunTable(int argc, char** argv, const std::string& title, const std::vector<TableRow>& rows);

// Registers the benchmark "plot": DrawFres of the arrays that `fill`
// computes, into a canvas whitened before each run (not timed).
void RegisterPlot(const std::function<void()>& fill);

// Runs `f` with standard output sent to /dev/null.
void Quietly(const std::function<void()>& f);
