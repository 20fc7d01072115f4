#include "fir_test_support.h"

#include "fir/fir_design.h"
#include "plot/shared_state.h"

void DesignBuiltIn(int requested_taps) {
  Pi = kPiAtLoad;
  Fsamp = 22050.0f;
  FresN = 400;
  bpf_fc1 = 2000.0f;
  bpf_fc2 = 8000.0f;
  alpha = 7.0f;
  FilType = kBandPass;
  TapN = requested_taps;
  AdjustTapCount();
  PutParam();
  DoIdft();
  Kaiser(TapN, alpha);
}
