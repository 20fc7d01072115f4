// The impulse response: every tap of a design of taps, the first 128
// samples of a recursive one.
#pragma once

#include "tune/tuner_view.h"

class ImpulseView : public TunerView {
 public:
  explicit ImpulseView(const ViewContext& context);
  QString Title() const override { return "&Impulse response"; }
  QWidget* Widget() override;
  void Redraw(const ViewInput& input) override;
  QwtPlot* Plot() const { return plot_; }

 private:
  QwtPlot* plot_;
  QwtPlotCurve* impulse_;
};
