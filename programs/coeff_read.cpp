#include "programs/coeff_read.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "fir/tap_file.h"
#include "fir/taps.h"
#include "iir/coeff_file.h"
#include "iir/iir_viewer.h"

namespace {

// While a quiet read runs, standard output goes to a memory file; the
// descriptor of the real one is kept here.
int real_stdout = -1, captured = -1;

// Puts standard output back; `pass_on` copies what the reader printed to it.
void EndCapture(bool pass_on) {
  if (real_stdout < 0) return;
  std::fflush(stdout);
  dup2(real_stdout, 1);
  close(real_stdout);
  real_stdout = -1;
  char buffer[4096];
  ssize_t n;
  for (off_t at = 0; pass_on && (n = pread(captured, buffer, sizeof buffer, at)) > 0; at += n) {
    if (write(1, buffer, size_t(n)) != n) break;
  }
  close(captured);
}

// A reader that ends the program ends it with its line on standard output.
void PassOnAtExit() { EndCapture(true); }

}  // namespace

std::vector<float> ReadCoefficients(CoeffKind kind, const char* name, bool quiet) {
  if (quiet) {
    static const bool registered = std::atexit(PassOnAtExit) == 0;
    std::fflush(stdout);
    captured = memfd_create("reader-output", MFD_CLOEXEC);
    real_stdout = registered && captured >= 0 ? dup(1) : -1;
    if (real_stdout >= 0) dup2(captured, 1);
  }
  std::vector<float> values;
  if (kind == CoeffKind::kFir) {
    TxtLoad(name, hh);
    values.assign(hh, hh + TapN);
  } else {
    TxtLoad(name);
    for (int k = 0; k < BiquadN; ++k) values.insert(values.end(), {a0[k], a1[k], a2[k], b1[k], b2[k]});
  }
  EndCapture(false);
  return values;
}
