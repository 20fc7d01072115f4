#include "iir/pelmora_design.h"

#include "core/state.h"
#include "iir/iir_design.h"

void MakePelmoraDesign(const PelmoraDesign& design) {
  ResetCoefficients();
  Pi = 3.14159f;
  gain_range = 100.0f;
  Fsamp = design.fsamp;
  freq_range = 10000.0f;
  OrderN = design.order;
  FilType = design.type;
  FC1 = design.fc1;
  FC2 = design.fc2;

  p_Fsamp = Fsamp;
  p_fc = FC1;
  p_fc2 = FC2;
  p_AC = design.attenuation_db;

  BasicFilCal();
  PreWarp();
  FreqTrans();
  SZTrans();
}
