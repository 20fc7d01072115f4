#include "fir/tavrine_design.h"

#include "core/state.h"
#include "fir/fir_design.h"

void MakeTavrineDesign(const TavrineDesign& design) {
  Fsamp = design.fsamp;
  gain_range = 100.0f;
  freq_range = 10000.0f;
  FresN = design.bins;
  lpf_fc1 = design.lpf_fc1;
  hpf_fc1 = design.hpf_fc1;
  bpf_fc1 = design.bpf_fc1;
  bpf_fc2 = design.bpf_fc2;
  brf_fc1 = design.brf_fc1;
  brf_fc2 = design.brf_fc2;
  alpha = design.alpha;
  FilType = design.type;
  TapN = design.taps;

  AdjustTapCount();
  PutParam();
  DoIdft();
  Kaiser(TapN, alpha);
}
