#include "tune/delay_view.h"

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>

#include <algorithm>
#include <cmath>

#include "tune/analysis.h"
#include "tune/plot_tools.h"

DelayView::DelayView(const ViewContext& context)
    : context_(context), plot_(NewPlot("frequency (Hz)", "group delay (samples)")) {
  file_ = AddCurve("group delay of coeff1.txt", plot_, QColor(230, 120, 0), Qt::DashLine);
  design_ = AddCurve("group delay", plot_, QColor(20, 60, 200));
}

QWidget* DelayView::Widget() { return plot_; }

void DelayView::Redraw(const ViewInput& input) {
  const double fsamp = context_.tuner.Fsamp();
  plot_->setAxisScale(QwtPlot::xBottom, 0.0, fsamp / 2.0);
  const std::vector<double> hz = FrequencyGrid(0.0, fsamp / 2.0, std::max(1024, 2 * plot_->canvas()->width()), false);
  const std::vector<double> design = GroupDelay(input.design, hz, fsamp);
  const std::vector<double> file = GroupDelay(input.file, hz, fsamp);
  for (const auto& [curve, delay] : {std::pair{design_, &design}, {file_, &file}}) {
    // Finite values only: a curve drawn to a value that is not a number
    // would be a vertical line.
    QVector<QPointF> points;
    for (size_t i = 0; i < hz.size(); ++i) {
      if (std::isfinite((*delay)[i])) points.append(QPointF(hz[i], (*delay)[i]));
    }
    curve->setSamples(points);
  }
  // At least a sample either side: a constant delay reads as its value,
  // not rounding's wiggles magnified.
  std::vector<double> both = design;
  both.insert(both.end(), file.begin(), file.end());
  double step = 0.0;
  const auto [low, high] = ReadableBounds(both, 1.0, &step);
  plot_->setAxisScale(QwtPlot::yLeft, low, high, step);
  plot_->replot();
}
