#include "tune/impulse_view.h"

#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_symbol.h>

#include "tune/analysis.h"
#include "tune/plot_tools.h"

namespace {

constexpr int kImpulseSamples = 128;  // of a recursive design

}  // namespace

ImpulseView::ImpulseView(const ViewContext&) : plot_(NewPlot("sample", "amplitude")) {
  impulse_ = AddCurve("impulse response", plot_, QColor(20, 60, 200));
  impulse_->setStyle(QwtPlotCurve::Sticks);
  impulse_->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(QColor(20, 60, 200)), Qt::NoPen, QSize(4, 4)));
}

QWidget* ImpulseView::Widget() { return plot_; }

void ImpulseView::Redraw(const ViewInput& input) {
  const Cascade& design = input.design;
  const bool fir = design.size() == 1 && design[0].a.size() == 1;
  const int samples = fir ? static_cast<int>(design[0].b.size()) : kImpulseSamples;
  const std::vector<double> y = ImpulseResponse(design, samples);
  QVector<QPointF> points;
  for (int n = 0; n < samples; ++n) points.append(QPointF(n, y[static_cast<size_t>(n)]));
  impulse_->setSamples(points);
  plot_->replot();
}
