// The verdict on a tavrine design that the configure's compiled check
// cannot reach: its values, in the order of tavrine's table
// (fir/tavrine_parameter_table.h; a type or choice as its code, auto as 0,
// a decimal as written), are the arguments. Prints one line: empty when the
// design is accepted, else "VARIABLE|allowed ...; this one ...".

#include <cstdio>
#include <cstdlib>

#include "core/number_text.h"
#include "fir/tavrine_design.h"
#include "fir/tavrine_limits.h"
#include "fir/tavrine_parameter_table.h"

constexpr size_t kRows = sizeof kTavrineParameters / sizeof kTavrineParameters[0];

int main(int argc, char** argv) {
  if (argc != static_cast<int>(kRows) + 1) {
    std::fprintf(stderr, "usage: tavrine_design_check VALUE... (%zu values)\n", kRows);
    return 2;
  }
  double values[kRows] = {};
  for (size_t i = 0; i < kRows; ++i) {
    // A decimal straight to single precision, as its float literal is read.
    values[i] = kTavrineParameters[i].number ? static_cast<double>(ParseFloat(argv[i + 1]))
                                             : std::strtod(argv[i + 1], nullptr);
  }
  const TavrineDesign design = DesignOf(kTavrineParameters, values);
  const std::string verdict = TavrineAccepts(design) ? TavrineSearchVerdict(design) : "";
  std::printf("%s\n", verdict.c_str());
  return 0;
}
