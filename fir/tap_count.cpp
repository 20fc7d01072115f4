// Tap-count adjustment: the design places its taps symmetrically about a
// centre tap, so it works with an odd count. A request of 1 or 2 designs a
// single tap, one of 400 designs 399 taps and writes a file of 400.

#include "fir/fir_design.h"

int evenTap, TapN_2;

void AdjustTapCount() {
  evenTap = TapN == DesignedTapCount(TapN) ? 0 : 1;
  TapN = DesignedTapCount(TapN);
  TapN_2 = TapN / 2;
}
