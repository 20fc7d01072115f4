#include "tune/pole_zero_view.h"

#include <qwt_legend.h>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_symbol.h>

#include <algorithm>
#include <cmath>

#include "tune/plot_tools.h"

PoleZeroView::PoleZeroView(const ViewContext& context)
    : context_(context), plot_(NewPlot("real part", "imaginary part")) {
  QVector<QPointF> circle;
  for (int i = 0; i <= 360; ++i) circle.append(QPointF(std::cos(i * kPi / 180), std::sin(i * kPi / 180)));
  AddCurve("unit circle", plot_, QColor(150, 150, 150))->setSamples(circle);
  zeros_ = AddCurve("zeros", plot_, QColor(20, 60, 200));
  zeros_->setStyle(QwtPlotCurve::NoCurve);
  zeros_->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, Qt::NoBrush, QPen(QColor(20, 60, 200), 1.5), QSize(9, 9)));
  poles_ = AddCurve("poles", plot_, QColor(200, 0, 0));
  poles_->setStyle(QwtPlotCurve::NoCurve);
  poles_->setSymbol(new QwtSymbol(QwtSymbol::XCross, Qt::NoBrush, QPen(QColor(200, 0, 0), 1.5), QSize(9, 9)));
  plot_->insertLegend(new QwtLegend, QwtPlot::TopLegend);
  KeepSquare(plot_);
  readout_ = new PointerReadout(plot_, [this](const QPointF& at) { return NearestRootText(at); });
}

QString PoleZeroView::Title() const { return context_.tuner.Attenuation() > 0.0 ? "&Poles and zeros" : "&Zeros"; }

QWidget* PoleZeroView::Widget() { return plot_; }

void PoleZeroView::Redraw(const ViewInput& input) {
  const PoleZero pz = PolesAndZeros(input.design);
  // Roots a thousandth apart are one mark on the plot: counted as one.
  roots_ = MergeRoots(pz, 1e-3);
  ShowCounts(plot_, roots_);
  double extent = 1.2;
  for (const auto& [curve, roots] : {std::pair{zeros_, &pz.zeros}, {poles_, &pz.poles}}) {
    QVector<QPointF> points;
    for (const auto& z : *roots) {
      points.append(QPointF(z.real(), z.imag()));
      extent = std::max(extent, std::min(1e3, 1.1 * std::abs(z)));
    }
    curve->setSamples(points);
  }
  SquareScales(plot_, QPointF(0.0, 0.0), extent);
  readout_->Update();
}

QString PoleZeroView::NearestRootText(const QPointF& at) const {
  const std::complex<double> pointer(at.x(), at.y());
  const MergedRoot* nearest = nullptr;
  for (const MergedRoot& root : roots_) {
    if (!nearest || std::abs(root.z - pointer) < std::abs(nearest->z - pointer)) nearest = &root;
  }
  if (!nearest) return "";
  // Its angle as a frequency at the design's rate (negative below the real
  // axis: a conjugate's), and its distance from the origin.
  // A real root's rounding off the axis is no conjugate: -1 is at half the
  // rate, not minus half.
  const std::complex<double> z = nearest->z;
  const double angle = std::atan2(std::abs(z.imag()) <= 1e-12 * std::abs(z) ? 0.0 : z.imag(), z.real());
  const QString what = nearest->pole ? "pole" : "zero";
  return (nearest->count > 1 ? QString::number(nearest->count) + " " + what + "s" : what) + " at " +
         QString::number(angle * context_.tuner.Fsamp() / (2.0 * kPi), 'f', 1) + " Hz, radius " +
         QString::number(std::abs(z), 'f', 6);
}
