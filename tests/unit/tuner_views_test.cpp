// The tuners' views as a user meets them, on Qt's offscreen platform with
// the mouse's events through the window as the platform delivers them:
// the readout after drags and at the canvas's corners, the corner labels,
// the wheel and the panner held within the band, the group delay's axis,
// the z-plane's equal scales, counts and nearest root, the exported curve.
// Expected values are closed forms: a symmetric design of N taps delays
// (N - 1) / 2 samples; pelmora's band-pass of order 2 has double zeros at
// z = 1 and z = -1; a section's poles by the quadratic formula.

#define QTEST_QPA_MOUSE_HANDLING
#include <qwt_legend_label.h>
#include <qwt_plot.h>

#include <QLabel>
#include <QTabWidget>
#include <QWheelEvent>
#include <QtTest/QTest>
#include <complex>

#include "tests/support.h"
#include "tune/plot_tools.h"
#include "tune/tuner_window.h"
#ifdef PELMORA_TUNING
#include "iir/pelmora_limits.h"
#include "iir/pelmora_tuning.h"
using T = PelmoraTuner;
const auto kStart = kBuiltInPelmoraDesign;
#else
#include "fir/tavrine_limits.h"
#include "fir/tavrine_tuning.h"
using T = TavrineTuner;
const auto kStart = kBuiltInTavrineDesign;
#endif

namespace {

QString Hz(double hz) { return QString::number(hz, 'f', 1) + " Hz"; }

struct Views : testing::Test {
  T tuner{kStart};
  TunerWindow window{tuner};
  QwtPlot* plot = window.ResponsePlot();
  QWidget* canvas = plot->canvas();
  void SetUp() override {
    window.resize(1000, 560);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  QwtPlot* View(int tab) {
    window.findChild<QTabWidget*>()->setCurrentIndex(tab);
    return qobject_cast<QwtPlot*>(window.findChild<QTabWidget*>()->currentWidget());
  }
  static QLabel* Readout(QwtPlot* p) { return p->canvas()->findChild<QLabel*>("readout"); }
  std::pair<double, double> Band() const { return {plot->axisInterval(QwtPlot::xBottom).minValue(), plot->axisInterval(QwtPlot::xBottom).maxValue()}; }
  void Wheel(QPoint at, int delta) {
    QWheelEvent wheel(at, canvas->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
  }
  void Drag(Qt::MouseButton button, QPoint from, QPoint to) {
    QTest::mousePress(canvas, button, {}, from);
    for (QPoint at : {(from + to) / 2, to}) QTest::mouseMove(canvas, at);
    QTest::mouseRelease(canvas, button, {}, to);
  }
  // The corners in use: field and marker.
  std::vector<std::pair<int, CornerMarker*>> Corners() {
    std::vector<std::pair<int, CornerMarker*>> corners;
    for (int f = 0; f < int(tuner.Fields().size()); ++f)
      if (auto* m = dynamic_cast<CornerMarker*>(window.CornerMarker(f)); m && m->isVisible()) corners.emplace_back(f, m);
    return corners;
  }
};

// After a corner's drag (60 px) and a rubber band's zoom, and at the
// canvas's corners, the readout gives the frequency under the pointer,
// whole within the canvas.
TEST_F(Views, ReadoutFollowsThePointerWhole) {
  const QRect r = canvas->contentsRect();
  const QPoint marker(int(std::lround(plot->transform(QwtPlot::xBottom, 2000))), r.height() / 2);
  for (const auto& [from, to] : std::vector<std::pair<QPoint, QPoint>>{
           {marker, marker + QPoint(60, 0)}, {{r.width() * 6 / 10, r.height() / 3}, {r.width() * 9 / 10, r.height() * 2 / 3}},
           {r.topRight(), r.topRight()}, {r.bottomRight(), r.bottomRight()}, {r.bottomLeft(), r.bottomLeft()}}) {
    if (from != to) Drag(Qt::LeftButton, from, to);
    QTest::mouseMove(canvas, to);
    EXPECT_TRUE(Readout(plot)->isVisible() && r.contains(Readout(plot)->geometry())) << to.x() << "," << to.y();
    EXPECT_TRUE(Readout(plot)->text().startsWith(Hz(plot->invTransform(QwtPlot::xBottom, to.x())) + ":"))
        << Readout(plot)->text().toStdString();
  }
  EXPECT_NEAR(tuner.Value(Corners().front().first), 2000 + 60 * tuner.Fsamp() / 2 / r.width(), 2 * tuner.Fsamp() / r.width());
  EXPECT_LT(Band().second - Band().first, 0.4 * tuner.Fsamp() / 2);
}

// Corner labels, with the lower corner at the highest that the limits
// accept (beside the upper one), on both axes: inside the canvas and apart.
TEST_F(Views, CornerLabelsApartAndWhole) {
  for (const auto& [log, closest] : {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
    if (closest) window.Change(Corners().front().first, tuner.Range(Corners().front().first).second);
    window.SetLogarithmic(log);
    const auto corners = Corners();
    for (size_t i = 0; i < corners.size(); ++i) {
      const QRect label = corners[i].second->LabelRect();
      EXPECT_TRUE(!label.isEmpty() && canvas->contentsRect().contains(label)) << log << closest << i;
      for (size_t j = 0; j < i; ++j) EXPECT_FALSE(label.intersects(corners[j].second->LabelRect())) << log << closest;
    }
  }
}

// Wheel up narrows the band about the pointer's frequency (within a
// pixel); no step at either edge, nor a pan with the middle button, goes
// beyond the band; wheel down ends at it exactly.
TEST_F(Views, WheelAndPannerHeldWithinTheBand) {
  const QRect r = canvas->contentsRect();
  const QPoint at(r.width() / 4, r.height() / 2);
  for (bool log : {false, true}) {
    window.SetLogarithmic(log);
    const auto whole = Band();
    const double hz = plot->invTransform(QwtPlot::xBottom, at.x()), pixel = hz - plot->invTransform(QwtPlot::xBottom, at.x() - 1);
    Wheel(at, 120);
    EXPECT_LT(Band().second - Band().first, 0.85 * (whole.second - whole.first));
    EXPECT_NEAR(plot->invTransform(QwtPlot::xBottom, at.x()), hz, pixel);
    for (const auto& [x, delta, steps] : {std::tuple{r.left(), 120, 10}, {r.right(), 120, 10}, {at.x(), -120, 30}})
      for (int i = 0; i < steps; ++i) {
        Wheel({x, at.y()}, delta);
        ASSERT_TRUE(Band().first >= whole.first && Band().second <= whole.second) << log << x << i;
      }
    EXPECT_EQ(Band(), whole);
    Wheel(at, 360);
    Drag(Qt::MiddleButton, at, at + QPoint(r.width(), 0));
    EXPECT_NEAR(Band().first, whole.first, 1e-9 * whole.second);
  }
}

// No step in the phase as drawn at either end (a band-pass's zeros at
// 0 Hz and half the rate: no vertical line). Group delay: finite, no step at either
// end, on an axis that holds every value with at least a sample either
// side; tavrine's 139 symmetric taps delay (139 - 1) / 2 = 69 samples,
// and their phase, unwrapped, falls 69 turns over the sampling frequency.
TEST_F(Views, GroupDelayAndPhaseRead) {
  const QVector<QPointF> phase = window.CurvePoints("phase");
  const auto step = [&phase](int i) { return phase[i + 1].y() - phase[i].y(); };
  for (int i : {0, phase.size() - 3}) EXPECT_NEAR(step(i), step(i + 1), 5.0) << phase[i].x();
  const QwtInterval axis = View(1)->axisInterval(QwtPlot::yLeft);
  const QVector<QPointF> delay = window.CurvePoints("group delay");
  EXPECT_GE(axis.width(), 2.0);
  for (const QPointF& p : delay) ASSERT_TRUE(std::isfinite(p.y()) && axis.contains(p.y())) << p.x();
  for (int i : {0, delay.size() - 2}) EXPECT_NEAR(delay[i].y(), delay[i + 1].y(), 0.01 * (1 + std::abs(delay[i].y())));
#ifndef PELMORA_TUNING
  for (const QPointF& p : delay) ASSERT_NEAR(p.y(), 69.0, 1e-6) << p.x();
  const QPointF a = phase[phase.size() / 4], b = phase[phase.size() * 3 / 5];  // 2756 and 6615 Hz: pass band
  EXPECT_NEAR(b.y() - a.y(), -69 * 360 * (b.x() - a.x()) / tuner.Fsamp(), 1e-4);
#endif
}

// The z-plane: the unit circle as wide as high at two shapes of window;
// the counts beside repeated roots, and no other; the nearest root's
// text under the pointer.
TEST_F(Views, PolesAndZerosSquareCountedAndPointed) {
  QwtPlot* pz = View(2);
  const auto length = [pz](int axis) { return std::abs(pz->transform(axis, 1) - pz->transform(axis, -1)); };
  for (QSize size : {QSize(1000, 560), QSize(1000, 760)}) {
    window.resize(size);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.size() == size && std::abs(length(QwtPlot::xBottom) - length(QwtPlot::yLeft)) <= 1; }))
        << length(QwtPlot::xBottom) << " x " << length(QwtPlot::yLeft) << " px";
  }
#ifdef PELMORA_TUNING
  const Section s = tuner.Design()[0];
  const std::complex<double> p = (-s.a[1] + std::sqrt(std::complex<double>(s.a[1] * s.a[1] - 4 * s.a[0] * s.a[2]))) / (2 * s.a[0]);
  const std::vector<std::tuple<std::complex<double>, QString, QString>> roots = {
      {1.0, "2", "2 zeros at 0.0 Hz, radius 1.000000"}, {-1.0, "2", "2 zeros at 11025.0 Hz, radius 1.000000"},
      {p, "", "pole at " + Hz(std::arg(p) * tuner.Fsamp() / (2 * M_PI)) + ", radius " + QString::number(std::abs(p), 'f', 6)}};
#else
  const std::vector<std::tuple<std::complex<double>, QString, QString>> roots = {{0.0, "138", "138 poles at 0.0 Hz, radius 0.000000"}};
#endif
  const auto where = [](double x, double y, const QString& text) { return QString("%1,%2: %3").arg(qRound(x * 1e6)).arg(qRound(y * 1e6)).arg(text); };
  QStringList counts, expected;
  for (QwtPlotItem* item : pz->itemList())
    if (auto* m = dynamic_cast<QwtPlotMarker*>(item)) counts << where(m->xValue(), m->yValue(), m->label().text());
  for (const auto& [z, count, text] : roots) {
    if (!count.isEmpty()) expected << where(z.real(), z.imag(), count);
    QTest::mouseMove(pz->canvas(), QPoint(pz->transform(QwtPlot::xBottom, z.real()) + 3, pz->transform(QwtPlot::yLeft, z.imag()) - 2));
    EXPECT_EQ(Readout(pz)->text(), text);
  }
  EXPECT_EQ(counts, expected);
}

// "gain as exported", in the plot, its legend and the readout, once
// something was exported.
TEST_F(Views, ExportedCurveOnceExported) {
  const auto shown = [this] {
    int legend = 0, curve = 0;
    for (auto* l : plot->findChildren<QwtLegendLabel*>()) legend += !l->isHidden() && l->text().text().startsWith("gain as");
    for (QwtPlotItem* c : plot->itemList()) curve += c->isVisible() && c->title().text().startsWith("gain as");
    return std::tuple{legend, curve, window.TrackerText(1000).count('\n')};
  };
  EXPECT_EQ(shown(), std::tuple(0, 0, 1));
  ASSERT_TRUE(window.ExportTo(*CoeffLayoutsOf(tuner.Kind()).front(), QString::fromStdString(test::MakeTempDir() + "/exported")));
  EXPECT_EQ(shown(), std::tuple(1, 1, 2));
}

}  // namespace
