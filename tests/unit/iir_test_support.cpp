#include "tests/unit/iir_test_support.h"

#include "plot/shared_state.h"

void DesignIir(int type, int order, float fc1, float fc2) {
  ResetCoefficients();
  Pi = 3.14159f;
  FilType = type;
  OrderN = order;
  p_Fsamp = 22050.0f;
  p_fc = fc1;
  p_fc2 = fc2;
  p_AC = 3.0f;
  BasicFilCal();
  PreWarp();
  FreqTrans();
  SZTrans();
}
