#include "iir/pelmora_design.h"

#include "core/state.h"
#include "iir/iir_design.h"

namespace {

void StoreSections(const iirfamily::Sections& s) {
  for (int k = 0; k < s.count; ++k) {
    p_a0[k] = static_cast<float>(s.c[k][0]);
    p_a1[k] = static_cast<float>(s.c[k][1]);
    p_a2[k] = static_cast<float>(s.c[k][2]);
    p_b1[k] = static_cast<float>(s.c[k][3]);
    p_b2[k] = static_cast<float>(s.c[k][4]);
  }
}

}  // namespace

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

  if (!IsButterworthChain(design)) {
    const iirfamily::Sections sections = FamilySections(design);
    OrderN = sections.order;
    StoreSections(sections);
    return;
  }
  BasicFilCal();
  PreWarp();
  FreqTrans();
  SZTrans();
}
