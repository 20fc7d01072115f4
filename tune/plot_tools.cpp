#include "tune/plot_tools.h"

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_magnifier.h>
#include <qwt_scale_engine.h>
#include <qwt_scale_map.h>
#include <qwt_text.h>

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// Canvas pixels between a line and its label, and around the readout.
constexpr int kGap = 4;
constexpr int kReadoutOffset = 14;

// A value of the axis in its scale's own terms (the logarithm on a
// logarithmic axis), where zooming and panning are linear, and back.
double ToScale(const QwtScaleMap& map, double v) {
  return map.transformation() ? map.transformation()->transform(v) : v;
}
double FromScale(const QwtScaleMap& map, double s) {
  return map.transformation() ? map.transformation()->invTransform(s) : s;
}

// Moves the interval [from, to] (scale terms) into [low, high]: the whole
// of it where it is at least as wide, else shifted in.
std::pair<double, double> Within(double from, double to, double low, double high) {
  if (to - from >= high - low) return {low, high};
  if (from < low) return {low, low + (to - from)};
  if (to > high) return {high - (to - from), high};
  return {from, to};
}

// Wheel zoom about the pointer; the frequency axis held within the band.
class WheelZoom : public QObject {
 public:
  WheelZoom(QwtPlot* plot, Band band) : QObject(plot), plot_(plot), band_(std::move(band)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Wheel) return false;
    const auto* wheel = static_cast<QWheelEvent*>(event);
    // A notch (120) up shows 0.8 of the span, as plotting tools zoom in.
    const double factor = std::pow(0.8, wheel->angleDelta().y() / 120.0);
    const bool gain = wheel->modifiers() & Qt::ControlModifier;
    const int axis = gain ? QwtPlot::yLeft : QwtPlot::xBottom;
    const QwtScaleMap map = plot_->canvasMap(axis);
    const QPointF at = wheel->position();
    const double pointer = ToScale(map, map.invTransform(gain ? at.y() : at.x()));
    const QwtScaleDiv& div = plot_->axisScaleDiv(axis);
    double from = pointer + (ToScale(map, div.lowerBound()) - pointer) * factor;
    double to = pointer + (ToScale(map, div.upperBound()) - pointer) * factor;
    if (!gain) {
      const auto [low, high] = band_();
      std::tie(from, to) = Within(from, to, ToScale(map, low), ToScale(map, high));
      // The band's ends exactly, not their values through the logarithm.
      from = from == ToScale(map, low) ? low : FromScale(map, from);
      to = to == ToScale(map, high) ? high : FromScale(map, to);
    } else {
      from = FromScale(map, from);
      to = FromScale(map, to);
    }
    plot_->setAxisScale(axis, from, to);
    plot_->replot();
    return true;
  }

 private:
  QwtPlot* plot_;
  Band band_;
};

// Panning with the frequency axis stopped at the band's ends.
class BandPanner : public QwtPlotPanner {
 public:
  BandPanner(QwtPlot* plot, Band band) : QwtPlotPanner(plot->canvas()), band_(std::move(band)) {}

  void moveCanvas(int dx, int dy) override {
    QwtPlot* plot = this->plot();
    const auto [low, high] = band_();
    const QwtScaleMap x = plot->canvasMap(QwtPlot::xBottom);
    const QwtScaleDiv& div = plot->axisScaleDiv(QwtPlot::xBottom);
    const double p1 = x.transform(div.lowerBound()), p2 = x.transform(div.upperBound());
    // Moved by dx pixels, the axis would show p1 - dx to p2 - dx.
    const double shift = std::min(std::max(static_cast<double>(dx), p2 - x.transform(high)), p1 - x.transform(low));
    plot->setAxisScale(QwtPlot::xBottom, std::max(low, x.invTransform(p1 - shift)),
                       std::min(high, x.invTransform(p2 - shift)));
    const QwtScaleMap y = plot->canvasMap(QwtPlot::yLeft);
    const QwtScaleDiv& gain = plot->axisScaleDiv(QwtPlot::yLeft);
    plot->setAxisScale(QwtPlot::yLeft, y.invTransform(y.transform(gain.lowerBound()) - dy),
                       y.invTransform(y.transform(gain.upperBound()) - dy));
    plot->replot();
  }

 private:
  Band band_;
};

// Drags the corner markers of the response plot: a press within a few
// pixels of a marker takes it, and the corner follows the pointer (held
// at its limits) until the release. Other presses go on to the zoomer.
class MarkerDrag : public QObject {
 public:
  MarkerDrag(QwtPlot* plot, std::vector<QwtPlotMarker*> markers, Change change)
      : QObject(plot), plot_(plot), markers_(std::move(markers)), change_(std::move(change)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseMove &&
        event->type() != QEvent::MouseButtonRelease) {
      return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const int x = mouse->pos().x();
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
      // The nearest marker within a few pixels.
      double nearest = 6.5;
      for (size_t i = 0; i < markers_.size(); ++i) {
        QwtPlotMarker* marker = markers_[i];
        const double distance =
            marker && marker->isVisible() ? std::abs(plot_->transform(QwtPlot::xBottom, marker->xValue()) - x) : 1e9;
        if (distance < nearest) {
          nearest = distance;
          dragged_ = static_cast<int>(i);
        }
      }
      return dragged_ >= 0;
    }
    if (dragged_ < 0) {
      if (event->type() == QEvent::MouseMove) {
        bool near = false;
        for (QwtPlotMarker* marker : markers_) {
          near = near || (marker && marker->isVisible() &&
                          std::abs(plot_->transform(QwtPlot::xBottom, marker->xValue()) - x) <= 6);
        }
        plot_->canvas()->setCursor(near ? Qt::SizeHorCursor : Qt::CrossCursor);
      }
      return false;
    }
    // The frequency under the pointer, rounded to a power of ten below a
    // pixel's width, so that a dragged corner gets a short number.
    const double hz = plot_->invTransform(QwtPlot::xBottom, x);
    const double pixel = std::abs(plot_->invTransform(QwtPlot::xBottom, x + 1) - hz);
    const double step = std::pow(10.0, std::floor(std::log10(pixel > 0 ? pixel : 1.0)));
    change_(dragged_, std::round(hz / step) * step);
    if (event->type() == QEvent::MouseButtonRelease) dragged_ = -1;
    return true;
  }

 private:
  QwtPlot* plot_;
  std::vector<QwtPlotMarker*> markers_;
  Change change_;
  int dragged_ = -1;
};

// Keeps equal units per pixel when the canvas changes size.
class SquareKeeper : public QObject {
 public:
  explicit SquareKeeper(QwtPlot* plot) : QObject(plot), plot_(plot) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize) {
      const QwtScaleDiv& x = plot_->axisScaleDiv(QwtPlot::xBottom);
      const QwtScaleDiv& y = plot_->axisScaleDiv(QwtPlot::yLeft);
      SquareScales(plot_, QPointF((x.lowerBound() + x.upperBound()) / 2, (y.lowerBound() + y.upperBound()) / 2),
                   std::min(x.range(), y.range()) / 2);
    }
    return false;
  }

 private:
  QwtPlot* plot_;
};

// A count beside a repeated root: its own kind of item, so that the
// earlier counts can be found and taken away.
class CountMarker : public QwtPlotMarker {
 public:
  static constexpr int kRtti = QwtPlotItem::Rtti_PlotUserItem + 29;
  int rtti() const override { return kRtti; }
};

}  // namespace

QwtPlot* NewPlot(const QString& x_title, const QString& y_title) {
  auto* plot = new QwtPlot;
  plot->setAxisTitle(QwtPlot::xBottom, x_title);
  plot->setAxisTitle(QwtPlot::yLeft, y_title);
  plot->setCanvasBackground(Qt::white);
  auto* grid = new QwtPlotGrid;
  grid->setPen(QColor(220, 220, 220), 0.0, Qt::DotLine);
  grid->attach(plot);
  plot->setMinimumSize(200, 150);
  return plot;
}

PointerReadout::PointerReadout(QwtPlot* plot, TextAt text)
    : QObject(plot), plot_(plot), text_(std::move(text)), label_(new QLabel(plot->canvas())) {
  label_->setObjectName("readout");
  label_->setStyleSheet("background: rgba(255, 255, 255, 225); border: 1px solid #999; padding: 2px");
  label_->setAttribute(Qt::WA_TransparentForMouseEvents);
  label_->hide();
  plot->canvas()->setMouseTracking(true);
  plot->canvas()->installEventFilter(this);
}

bool PointerReadout::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress ||
      event->type() == QEvent::MouseButtonRelease) {
    pointer_ = static_cast<QMouseEvent*>(event)->pos();
    inside_ = true;
    Update();
  } else if (event->type() == QEvent::Leave) {
    inside_ = false;
    label_->hide();
  }
  return false;
}

void PointerReadout::Update() {
  const QString text = inside_ ? text_(QPointF(plot_->invTransform(QwtPlot::xBottom, pointer_.x()),
                                               plot_->invTransform(QwtPlot::yLeft, pointer_.y())))
                               : QString();
  if (text.isEmpty()) {
    label_->hide();
    return;
  }
  label_->setText(text);
  label_->adjustSize();
  // Above and right of the pointer, else on the other side, and always
  // whole within the canvas.
  const QRect canvas = plot_->canvas()->contentsRect();
  const QSize size = label_->size();
  int x = pointer_.x() + kReadoutOffset, y = pointer_.y() - kReadoutOffset - size.height();
  if (x + size.width() > canvas.right()) x = pointer_.x() - kReadoutOffset - size.width();
  if (y < canvas.top()) y = pointer_.y() + kReadoutOffset;
  x = std::max(canvas.left(), std::min(x, canvas.right() + 1 - size.width()));
  y = std::max(canvas.top(), std::min(y, canvas.bottom() + 1 - size.height()));
  label_->move(x, y);
  label_->show();
  label_->raise();
}

CornerMarker::CornerMarker(std::shared_ptr<std::vector<CornerMarker*>> group) : group_(std::move(group)) {
  group_->push_back(this);
  setLineStyle(QwtPlotMarker::VLine);
}

QRect CornerMarker::LabelRect() const {
  const QwtPlot* plot = this->plot();
  if (!plot || !isVisible()) return {};
  const QRect canvas = plot->canvas()->contentsRect();
  const QwtScaleMap map = plot->canvasMap(QwtPlot::xBottom);
  // The group's visible lines from left to right.
  std::vector<std::pair<double, const CornerMarker*>> lines;
  for (const CornerMarker* m : *group_) {
    if (m->plot() != plot || !m->isVisible()) continue;
    const double x = map.transform(m->xValue());
    if (x >= canvas.left() && x <= canvas.right()) lines.emplace_back(x, m);
  }
  std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<QRect> placed;
  for (const auto& [x, m] : lines) {
    const QSize size = m->label().textSize(plot->canvas()->font()).toSize() + QSize(2, 0);
    int left = static_cast<int>(std::lround(x)) + kGap;
    if (left + size.width() > canvas.right()) left = static_cast<int>(std::lround(x)) - kGap - size.width();
    left = std::max(canvas.left() + 1, std::min(left, canvas.right() - size.width()));
    QRect rect(QPoint(left, canvas.bottom() - kGap - size.height()), size);
    while (std::any_of(placed.begin(), placed.end(), [&rect](const QRect& r) { return r.intersects(rect); }) &&
           rect.top() - size.height() > canvas.top()) {
      rect.translate(0, -size.height() - 1);
    }
    if (m == this) return rect;
    placed.push_back(rect);
  }
  return {};
}

void CornerMarker::drawLabel(QPainter* painter, const QRectF&, const QPointF&) const {
  const QRect rect = LabelRect();
  if (rect.isEmpty()) return;
  painter->save();
  painter->setFont(plot()->canvas()->font());
  QwtText text = label();
  text.setBackgroundBrush(QColor(255, 255, 255, 200));
  text.draw(painter, rect);
  painter->restore();
}

void DragMarkers(QwtPlot* plot, std::vector<QwtPlotMarker*> markers, Change change) {
  plot->canvas()->installEventFilter(new MarkerDrag(plot, std::move(markers), std::move(change)));
}

void HoldWithinBand(QwtPlot* plot, Band band) {
  auto* panner = new BandPanner(plot, band);
  panner->setMouseButton(Qt::MiddleButton);
  plot->canvas()->installEventFilter(new WheelZoom(plot, std::move(band)));
}

void SquareScales(QwtPlot* plot, QPointF centre, double extent) {
  // The canvas's pixels on each axis, as the plot's maps paint them.
  const double width = std::max(1.0, plot->canvasMap(QwtPlot::xBottom).pDist());
  const double height = std::max(1.0, plot->canvasMap(QwtPlot::yLeft).pDist());
  const double per_pixel = 2.0 * extent / std::min(width, height);
  plot->setAxisScale(QwtPlot::xBottom, centre.x() - per_pixel * width / 2, centre.x() + per_pixel * width / 2);
  plot->setAxisScale(QwtPlot::yLeft, centre.y() - per_pixel * height / 2, centre.y() + per_pixel * height / 2);
  plot->replot();
}

void KeepSquare(QwtPlot* plot) {
  plot->canvas()->installEventFilter(new SquareKeeper(plot));
  // Wheel up zooms in, about the canvas's centre: both axes alike.
  auto* magnifier = new QwtPlotMagnifier(plot->canvas());
  magnifier->setWheelFactor(1.0 / 0.9);
  new QwtPlotPanner(plot->canvas());
}

void ShowCounts(QwtPlot* plot, const std::vector<MergedRoot>& roots) {
  for (QwtPlotItem* item : plot->itemList(CountMarker::kRtti)) {
    item->detach();
    delete item;
  }
  for (const MergedRoot& root : roots) {
    if (root.count < 2) continue;
    auto* count = new CountMarker;
    count->setValue(root.z.real(), root.z.imag());
    QwtText text(QString::number(root.count));
    text.setColor(root.pole ? QColor(200, 0, 0) : QColor(20, 60, 200));
    QFont font = plot->canvas()->font();
    font.setBold(true);
    text.setFont(font);
    count->setLabel(text);
    count->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    count->setSpacing(6);
    count->attach(plot);
  }
}

std::pair<double, double> ReadableBounds(const std::vector<double>& values, double half_span, double* step) {
  double low = HUGE_VAL, high = -HUGE_VAL;
  for (double v : values) {
    if (!std::isfinite(v)) continue;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  if (low > high) low = high = 0.0;
  const double centre = (low + high) / 2;
  low = std::min(low, centre - half_span);
  high = std::max(high, centre + half_span);
  QwtLinearScaleEngine engine;
  *step = 0.0;
  engine.autoScale(8, low, high, *step);
  return {low, high};
}
