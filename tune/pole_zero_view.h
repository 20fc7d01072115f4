// The zeros (circles) and poles (crosses) in the z-plane with the unit
// circle, on equal scales; the count beside a repeated root; the nearest
// root's count, frequency and radius in the pointer's readout.
#pragma once

#include <vector>

#include "tune/analysis.h"
#include "tune/tuner_view.h"

class PointerReadout;

class PoleZeroView : public TunerView {
 public:
  explicit PoleZeroView(const ViewContext& context);
  // A design of taps has no poles but at the origin: "Zeros".
  QString Title() const override;
  QWidget* Widget() override;
  void Redraw(const ViewInput& input) override;
  QwtPlot* Plot() const { return plot_; }

 private:
  // The pointer's nearest pole or zero: its count, frequency and radius.
  QString NearestRootText(const QPointF& at) const;

  ViewContext context_;
  QwtPlot* plot_;
  QwtPlotCurve *zeros_, *poles_;
  PointerReadout* readout_;
  std::vector<MergedRoot> roots_;  // as drawn
};
