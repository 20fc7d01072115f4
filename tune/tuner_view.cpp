#include "tune/tuner_view.h"

#include <qwt_plot_curve.h>

QVector<QPointF> TunerView::CurvePoints(const QString& name) const {
  QVector<QPointF> points;
  for (const auto& [n, c] : curves_) {
    if (n != name) continue;
    for (size_t i = 0; i < c->dataSize(); ++i) points.append(c->sample(i));
  }
  return points;
}

QwtPlotCurve* TunerView::AddCurve(const QString& name, QwtPlot* plot, QColor color, Qt::PenStyle style) {
  auto* c = new QwtPlotCurve(name);
  c->setPen(color, 1.0, style);
  c->setRenderHint(QwtPlotItem::RenderAntialiased, false);
  c->attach(plot);
  curves_.emplace_back(name, c);
  return c;
}
