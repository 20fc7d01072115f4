// A view of the tuners' window: a tab that draws the design (response,
// group delay, poles and zeros, impulse response). The window makes the
// views of tune/views.cpp's list, a tab each in its order, and asks the
// shown one to draw the design on every change and when its tab is
// chosen; the views know nothing of the form, the menus or the saving.
#pragma once

#include <QColor>
#include <QPointF>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "tune/tuning.h"

class QMenu;
class QWidget;
class QwtPlot;
class QwtPlotCurve;

// What the views draw: the design and the cascades of the files made of
// it, as they stand after the last change.
struct ViewInput {
  Cascade design;    // as the design chain computes it
  Cascade file;      // coeff1.txt's values, read back as the viewers read them
  Cascade exported;  // the values that exported_layout's text holds
  const CoeffLayout* exported_layout = nullptr;  // the layout last exported; null before any
};

// What a view is made with: the designer's fields and values (the
// sampling frequency among them), and how the view asks for a value in a
// field, as the form does (a dragged corner).
struct ViewContext {
  const Tuner& tuner;
  std::function<void(int field, double value)> change;
};

class TunerView {
 public:
  virtual ~TunerView() = default;
  // The tab's title, its mnemonic after the '&'.
  virtual QString Title() const = 0;
  // The tab's page; the tab widget owns it.
  virtual QWidget* Widget() = 0;
  // Draws input, which the caller keeps unchanged until the next call
  // (the view draws it again itself on a zoom or a choice of its own).
  virtual void Redraw(const ViewInput& input) = 0;
  // Adds the window's View menu items that act on this view.
  virtual void AddActions(QMenu*) {}

  // The points of the view's curve of that name (x: Hz, sample or real
  // part), empty if it has none: for the tests and the benchmark.
  QVector<QPointF> CurvePoints(const QString& name) const;

 protected:
  // A curve of the plot, known by name, drawn with the pen without
  // antialiasing (a curve of thousands of points).
  QwtPlotCurve* AddCurve(const QString& name, QwtPlot* plot, QColor color, Qt::PenStyle style = Qt::SolidLine);

 private:
  std::vector<std::pair<QString, QwtPlotCurve*>> curves_;
};

// The views in their tabs' order (tune/views.cpp).
std::vector<std::unique_ptr<TunerView>> MakeViews(const ViewContext& context);
