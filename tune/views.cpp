// The tuners' views, a tab each in this order: a new view is its class
// and a line here.
#include "tune/delay_view.h"
#include "tune/impulse_view.h"
#include "tune/pole_zero_view.h"
#include "tune/response_view.h"

std::vector<std::unique_ptr<TunerView>> MakeViews(const ViewContext& context) {
  std::vector<std::unique_ptr<TunerView>> views;
  views.push_back(std::make_unique<ResponseView>(context));
  views.push_back(std::make_unique<DelayView>(context));
  views.push_back(std::make_unique<PoleZeroView>(context));
  views.push_back(std::make_unique<ImpulseView>(context));
  return views;
}
