// The tuners' plot tools: a plot with the views' looks, the pointer's
// readout kept inside the canvas, corner markers whose labels neither
// overprint each other nor leave the canvas, wheel zoom and panning held
// within the band, equal scales for the z-plane and the count beside a
// repeated root.
#pragma once

#include <qwt_plot_marker.h>
#include <qwt_plot_panner.h>
#include <qwt_plot_zoomer.h>

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "tune/analysis.h"

class QLabel;
class QwtPlot;

// A plot on white with a dotted grid and the axes' titles.
QwtPlot* NewPlot(const QString& x_title, const QString& y_title);

// The text at a point of the plot (x on xBottom, y on yLeft), "" for none.
using TextAt = std::function<QString(const QPointF&)>;
// The band that a frequency axis may show: lowest and highest value.
using Band = std::function<std::pair<double, double>()>;

// What the plot holds at the pointer, in a label on the canvas beside the
// pointer: above and right of it, or on the other side where that would
// leave the canvas, so that every line shows whole. It follows every move
// over the canvas, drags included (it sees the events before the plot's
// other tools), and is hidden when the pointer leaves.
class PointerReadout : public QObject {
 public:
  PointerReadout(QwtPlot* plot, TextAt text);
  // The text at the pointer again: after a redraw, a zoom or a new design.
  void Update();
  QLabel* Label() const { return label_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QwtPlot* plot_;
  TextAt text_;
  QLabel* label_;
  QPoint pointer_;
  bool inside_ = false;
};

// A corner's vertical line, whose label is placed with its group's (the
// other corners of the plot) each time it is drawn: right of its line, or
// left of it where it would leave the canvas; on the lowest row where it
// overlaps no label placed before it (left to right).
class CornerMarker : public QwtPlotMarker {
 public:
  explicit CornerMarker(std::shared_ptr<std::vector<CornerMarker*>> group);
  // Where the label is drawn, in canvas pixels; empty when hidden or off
  // the visible band.
  QRect LabelRect() const;

 protected:
  void drawLabel(QPainter* painter, const QRectF& canvas_rect, const QPointF& pos) const override;

 private:
  std::shared_ptr<std::vector<CornerMarker*>> group_;
};

// Drags the plot's markers (indexed as the fields; null where none): a
// left press within a few pixels of a visible marker takes it, and
// change(field, hz) follows the pointer until the release, hz rounded to a
// power of ten below a pixel's width (a short number). Other presses go on
// to the plot's other tools, installed before.
using Change = std::function<void(int field, double hz)>;
void DragMarkers(QwtPlot* plot, std::vector<QwtPlotMarker*> markers, Change change);

// The frequency axis held within band(): the wheel zooms in (wheel up) or
// out around the frequency under the pointer, Ctrl+wheel zooms the left
// axis likewise; the middle button pans, the band's ends as a stop.
void HoldWithinBand(QwtPlot* plot, Band band);

// Equal units per pixel on both axes, showing at least -extent to extent
// around centre on each; kept on every resize of the canvas (about its
// present centre, its shorter side's extent kept), so that the unit
// circle stays round. The wheel zooms in on wheel up.
void SquareScales(QwtPlot* plot, QPointF centre, double extent);
void KeepSquare(QwtPlot* plot);

// The count beside each root of the plot that stands for more than one:
// "2" at its upper right. The earlier counts are taken away.
void ShowCounts(QwtPlot* plot, const std::vector<MergedRoot>& roots);

// An axis's readable bounds for values that should be seen whole (a
// constant delay as its value): the finite values' range, at least its
// centre -/+ half_span, widened to round steps.
std::pair<double, double> ReadableBounds(const std::vector<double>& values, double half_span, double* step);
