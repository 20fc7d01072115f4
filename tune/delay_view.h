// The group delay in samples over 0 to half the sampling frequency, of
// the design and, dashed, of coeff1.txt's values.
#pragma once

#include "tune/tuner_view.h"

class DelayView : public TunerView {
 public:
  explicit DelayView(const ViewContext& context);
  QString Title() const override { return "&Group delay"; }
  QWidget* Widget() override;
  void Redraw(const ViewInput& input) override;
  QwtPlot* Plot() const { return plot_; }

 private:
  ViewContext context_;
  QwtPlot* plot_;
  QwtPlotCurve *design_, *file_;
};
