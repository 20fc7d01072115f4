// Tap-count adjustment: the design places its taps symmetrically about a
// centre tap, so it works with an odd count.
//
// The requested count is first held to [1, kMaxTaps]: at least the centre
// tap, and no more taps than the arrays (and the viewer's tap array, which
// reads the file) can hold. A request of 1 or 2 thus designs a single tap,
// one of 400 or more designs 399 taps and writes a file of 400.

#include <algorithm>

#include "fir/fir_design.h"

int evenTap, TapN_2;

void AdjustTapCount() {
  TapN = std::clamp(TapN, 1, kMaxTaps);
  if (TapN % 2 == 0) {
    TapN = TapN - 1;
    evenTap = 1;
  } else {
    evenTap = 0;
  }
  TapN_2 = TapN / 2;
}
