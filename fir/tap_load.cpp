#include <cstdio>

#include "core/textio.h"
#include "fir/tap_file.h"
#include "fir/taps.h"

void TxtLoad(const char* name, float* taps) {
  std::FILE* file = OpenForReadingOrExit(name);
  char line[kLineBufferSize];
  int reads = 0;
  bool left_out = false;
  while (ReadLinePiece(file, name, line)) {
    // One more piece than the array holds: the file has taps beyond it, and
    // nothing further needs reading.
    if (reads == kMaxTaps) {
      left_out = true;
      break;
    }
    taps[reads] = static_cast<float>(ParseValue(line));
    ++reads;
  }
  TapN = reads;
  std::printf("TapN = %d\n", TapN);
  if (left_out) std::fprintf(stderr, "%s: more than %d taps; only the first %d are used.\n", name, kMaxTaps, kMaxTaps);
  std::fclose(file);
}
