// The tuners' window on Qt's offscreen platform, driven as a user does:
// values typed into the form and held at the limits with their words, a
// dragged corner marker, the type switched from the keyboard, saves that
// succeed and fail, the configure line read back; the views' values
// against the transfer function, roots and impulse response computed here
// from the design chain's coefficients. The views as a user meets them,
// with the mouse's events through the window as the platform delivers
// them: the readout after drags and at the canvas's corners, the corner
// labels, the wheel and the panner held within the band, the group delay's
// axis, the z-plane's equal scales, counts and nearest root, the exported
// curve. Expected values are closed forms: a symmetric design of N taps
// delays (N - 1) / 2 samples; pelmora's band-pass of order 2 has double
// zeros at z = 1 and z = -1; a section's poles by the quadratic formula.

// Built once per designer (each holds its own state): PELMORA_TUNING
// selects pelmora's tuner, else tavrine's.

#define QTEST_QPA_MOUSE_HANDLING
#include <qwt_legend_label.h>
#include <qwt_plot.h>
#include <qwt_plot_marker.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest/QTest>
#include <complex>

#include "tests/support.h"
#include "tune/delay_view.h"
#include "tune/impulse_view.h"
#include "tune/plot_tools.h"
#include "tune/pole_zero_view.h"
#include "tune/response_view.h"
#include "tune/tuner_window.h"
#ifdef PELMORA_TUNING
#include "iir/iir_design.h"
#include "iir/pelmora_limits.h"
#include "iir/pelmora_tuning.h"
using T = PelmoraTuner;
const auto kStart = kBuiltInPelmoraDesign;
const std::string kBuiltInFile = test::Read(TEST_DATA_DIR "/pelmora_coeff1.txt");
#else
#include "fir/fir_design.h"
#include "fir/tavrine_limits.h"
#include "fir/tavrine_tuning.h"
using T = TavrineTuner;
const auto kStart = kBuiltInTavrineDesign;
const std::string kBuiltInFile = test::Read(TEST_DATA_DIR "/tavrine_coeff1.txt");
#endif

namespace {

using Complex = std::complex<double>;
constexpr double kPi = 3.14159265358979323846;

struct Window : testing::Test {
  T tuner{kStart};
  TunerWindow window{tuner};
  void SetUp() override {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  QAbstractSpinBox* Box(int field) { return static_cast<QAbstractSpinBox*>(window.Editor(field)); }
  // Types text into the field's spin box over what it shows, then Enter.
  void Type(int field, const QString& text) {
    Box(field)->setFocus();
    Box(field)->selectAll();
    QTest::keyClicks(Box(field), text);
    QTest::keyClick(Box(field), Qt::Key_Return);
  }
  ResponseView* response = window.View<ResponseView>();
  QwtPlot* plot = response->Plot();
  QWidget* canvas = plot->canvas();
  // The response canvas's point at `hz`, halfway up.
  QPoint At(double hz) { return {int(std::lround(plot->transform(QwtPlot::xBottom, hz))), canvas->height() / 2}; }
  void Drag(Qt::MouseButton button, QPoint from, QPoint to) {
    QTest::mousePress(canvas, button, {}, from);
    for (QPoint at : {(from + to) / 2, to}) QTest::mouseMove(canvas, at);
    QTest::mouseRelease(canvas, button, {}, to);
  }
  double HzPerPixel() { return tuner.Fsamp() / 2 / canvas->width(); }
  // The view of the class V, shown as when its tab is chosen.
  template <typename V>
  V* Shown() {
    window.Show(window.View<V>());
    return window.View<V>();
  }
};

QString Hz(double hz) { return QString::number(hz, 'f', 1) + " Hz"; }

// The window at 1000 x 560.
struct Views : Window {
  void SetUp() override {
    window.resize(1000, 560);
    Window::SetUp();
  }
  static QLabel* Readout(QwtPlot* p) { return p->canvas()->findChild<QLabel*>("readout"); }
  std::pair<double, double> Band() const {
    return {plot->axisInterval(QwtPlot::xBottom).minValue(), plot->axisInterval(QwtPlot::xBottom).maxValue()};
  }
  void Wheel(QPoint at, int delta) {
    QWheelEvent wheel(at, canvas->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(canvas, &wheel);
  }
  // The corners in use: field and marker.
  std::vector<std::pair<int, CornerMarker*>> Corners() {
    std::vector<std::pair<int, CornerMarker*>> corners;
    for (int f = 0; f < int(tuner.Fields().size()); ++f) {
      auto* m = dynamic_cast<CornerMarker*>(response->CornerMarker(f));
      if (m && m->isVisible()) corners.emplace_back(f, m);
    }
    return corners;
  }
};

// The design's cascade from the chain's coefficients, and the file's from
// "%f" text of each read back as a float.
Cascade ChainCascade(bool file) {
  const auto value = [file](float v) { return file ? std::strtof(std::to_string(v).c_str(), nullptr) : v; };  // "%f"
  Cascade cascade;
#ifdef PELMORA_TUNING
  for (int i = 0; i < 2; ++i)  // the built-in band-pass of order 2: two sections
    cascade.push_back({{value(p_a0[i]), value(p_a1[i]), value(p_a2[i])}, {1.0, value(p_b1[i]), value(p_b2[i])}});
#else
  Section taps{{}, {1.0}};
  for (int n = 0; n < TapN; ++n) taps.b.push_back(value(hh[n]));
  cascade.push_back(taps);
#endif
  return cascade;
}

// H(e^jw) term by term.
Complex H(const Cascade& cascade, double w) {
  Complex h = 1.0;
  for (const Section& s : cascade) {
    Complex b = 0.0, a = 0.0;
    for (size_t n = 0; n < s.b.size(); ++n) b += s.b[n] * std::exp(Complex(0, -w * double(n)));
    for (size_t n = 0; n < s.a.size(); ++n) a += s.a[n] * std::exp(Complex(0, -w * double(n)));
    h *= b / a;
  }
  return h;
}

// The gain and phase curves of design and file against H at every
// point, one point per pixel at least, over 0 to Fsamp / 2, on a linear
// and a logarithmic axis; a zoomed band at its own resolution, and back;
// the tracker's numbers.
TEST_F(Window, ResponseAgainstTheTransferFunction) {
  const double half = tuner.Fsamp() / 2;
  for (bool log : {false, true}) {
    response->SetLogarithmic(log);
    for (const auto& [name, file, phase] : {std::tuple{"gain", false, false}, {"gain of coeff1.txt", true, false},
                                            {"phase", false, true}}) {
      const QVector<QPointF> points = response->CurvePoints(name);
      ASSERT_GE(points.size(), plot->canvas()->width()) << name;
      EXPECT_NEAR(points.front().x(), log ? half / 1e4 : 0.0, 1e-9 * half);
      EXPECT_NEAR(points.back().x(), half, 1e-9 * half);
      const Cascade cascade = ChainCascade(file);
      for (int i = 0; i < points.size(); i += 37) {
        const Complex h = H(cascade, 2 * kPi * points[i].x() / tuner.Fsamp());
        const double expected = phase ? std::arg(h) * 180 / kPi : 20 * std::log10(std::abs(h));
        if (phase && h == 0.0) continue;  // arg(0): the view shows the phase beside it
        // The phase, unwrapped or not, modulo 360.
        const double y = phase ? expected + std::remainder(points[i].y() - expected, 360.0) : points[i].y();
        if (std::isinf(expected)) ASSERT_EQ(y, expected);  // a zero at 0 Hz
        else ASSERT_NEAR(y, expected, 1e-6 * (1 + std::fabs(expected))) << name << " at " << points[i].x();
      }
      EXPECT_TRUE(!log || std::fabs(points[2].x() / points[1].x() - points[1].x() / points[0].x()) < 1e-9);
    }
  }
  response->SetLogarithmic(false);
  plot->setAxisScale(QwtPlot::xBottom, 1000, 2000);
  plot->replot();
  QVector<QPointF> zoomed = response->CurvePoints("gain");
  EXPECT_TRUE(zoomed.front().x() == 1000 && zoomed.back().x() == 2000 && zoomed.size() >= 1024);
  response->ShowWholeBand();
  EXPECT_EQ(response->CurvePoints("gain").back().x(), half);
  const Complex h = H(ChainCascade(false), 2 * kPi * 3000 / tuner.Fsamp());
  const QString numbers = QString("3000.0 Hz: %1 dB, %2").arg(20 * std::log10(std::abs(h)), 0, 'f', 2);
  EXPECT_TRUE(response->TrackerText(3000).startsWith(numbers.arg(std::arg(h) * 180 / kPi, 0, 'f', 1)))
      << response->TrackerText(3000).toStdString();
}

// Group delay against the phase's slope, the impulse response against H
// (its transform), and the roots: pelmora's poles and zeros from the
// quadratic formula of each section; tavrine's zeros, one fewer than the
// taps, where the taps' polynomial vanishes.
TEST_F(Window, OtherViewsAgainstIndependentValues) {
  const Cascade cascade = ChainCascade(false);
  const QVector<QPointF> delay = Shown<DelayView>()->CurvePoints("group delay");
  ASSERT_GE(delay.size(), 1024);
  for (int i = 1; i < delay.size() - 1; i += 53) {
    const double w = 2 * kPi * delay[i].x() / tuner.Fsamp(), dw = 1e-6;
    if (std::abs(H(cascade, w)) < 1e-3) continue;  // a stop band's zeros
    const double slope = -std::arg(H(cascade, w + dw) / H(cascade, w - dw)) / (2 * dw);
    ASSERT_NEAR(delay[i].y(), slope, 1e-4 * (1 + std::fabs(slope))) << delay[i].x();
  }
  const QVector<QPointF> impulse = Shown<ImpulseView>()->CurvePoints("impulse response");
  for (double w : {0.3, 1.1, 2.9}) {
    Complex sum = 0.0;
    for (const QPointF& p : impulse) sum += p.y() * std::exp(Complex(0, -w * p.x()));
    EXPECT_LT(std::abs(sum - H(cascade, w)), 1e-6) << w;
  }
  const PoleZeroView* pz = Shown<PoleZeroView>();
  const QVector<QPointF> zeros = pz->CurvePoints("zeros"), poles = pz->CurvePoints("poles");
#ifdef PELMORA_TUNING
  std::vector<Complex> expected_zeros, expected_poles;
  for (const Section& s : cascade) {
    for (double sign : {-1.0, 1.0}) {
      const Complex root = sign * std::sqrt(Complex(s.b[1] * s.b[1] - 4 * s.b[0] * s.b[2]));
      expected_zeros.push_back((-s.b[1] + root) / (2 * s.b[0]));
      expected_poles.push_back((-s.a[1] + sign * std::sqrt(Complex(s.a[1] * s.a[1] - 4 * s.a[2]))) / 2.0);
    }
  }
  for (const auto& [shown, expected] : {std::pair{zeros, expected_zeros}, {poles, expected_poles}}) {
    ASSERT_EQ(shown.size(), int(expected.size()));
    for (const Complex& root : expected) {
      EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [&](const QPointF& p) {
        return std::abs(Complex(p.x(), p.y()) - root) < 1e-9;
      })) << root;
    }
  }
#else
  const std::vector<double>& taps = cascade[0].b;
  ASSERT_EQ(zeros.size(), int(taps.size()) - 1);
  for (const QPointF& p : zeros) {
    const Complex z(p.x(), p.y());
    Complex value = 0.0;
    double scale = 0.0;
    for (size_t n = 0; n < taps.size(); ++n) {
      value += taps[n] * std::pow(z, double(taps.size() - 1 - n));
      scale += std::fabs(taps[n]) * std::pow(std::abs(z), double(taps.size() - 1 - n));
    }
    ASSERT_LT(std::abs(value) / scale, 1e-9) << z;
  }
  EXPECT_EQ(impulse.size(), int(taps.size()));
#endif
}

// Saves: Ctrl+S writes coeff1.txt, the designer's text, over an earlier
// one; Save As another name, after a change: each file's line is its
// design's. A coeff1.txt that is a folder cannot be opened: the window and
// standard error say so in the designer's words with the reason, and the
// design and the folder stay. The configure line makes the same design
// again.
TEST_F(Window, SavesAndTheConfigureLine) {
  const std::string dir = test::MakeTempDir();
  ASSERT_EQ(chdir(dir.c_str()), 0);
  test::Write("coeff1.txt", "an earlier file\n");
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(test::Read("coeff1.txt") == kBuiltInFile && window.MessageTone() == TunerWindow::Tone::kDone);
  const std::string first = tuner.OptionsLine();
  window.Change(T::kFsamp, 16000);
  EXPECT_TRUE(window.SaveTo("other.txt") && test::Read("other.txt") != kBuiltInFile);
  EXPECT_EQ(window.WrittenLines(), "coeff1.txt: " + first + "\nother.txt: " + tuner.OptionsLine() + "\n");

  ASSERT_EQ(std::remove("coeff1.txt") | mkdir("coeff1.txt", 0755), 0);
  bool saved = true;
  EXPECT_EQ(test::Printed([&] { saved = window.SaveTo("coeff1.txt"); }),
            "|coeff1.txt cannot be opened: Is a directory.\n");
  EXPECT_FALSE(saved);
  EXPECT_TRUE(window.Message().startsWith("coeff1.txt cannot be opened: Is a directory.") &&
              window.MessageTone() == TunerWindow::Tone::kFailed) << window.Message().toStdString();
  struct stat folder;
  EXPECT_TRUE(stat("coeff1.txt", &folder) == 0 && S_ISDIR(folder.st_mode));

  T again({});
  std::istringstream words(window.OptionsText().toStdString());
  EXPECT_EQ(again.Configure({std::istream_iterator<std::string>(words), {}}), "");
  EXPECT_EQ(again.OptionsLine(), tuner.OptionsLine());  // the same file: tests/unit/tuning_test.cpp
}

// Closing an unchanged design asks nothing; a changed one asks: Cancel
// keeps the window, Save writes coeff1.txt and closes, Discard closes and
// writes nothing.
TEST_F(Window, ClosingAsksToSaveAChangedDesign) {
  ASSERT_EQ(chdir(test::MakeTempDir().c_str()), 0);
  EXPECT_TRUE(window.close());
  std::string saved;
  for (const auto& [answer, closes, file] : {std::tuple{QMessageBox::Cancel, false, false},
                                            {QMessageBox::Save, true, true}, {QMessageBox::Discard, true, true}}) {
    window.show();
    window.Change(T::kFsamp, tuner.Fsamp() + 1000);
    QTimer::singleShot(0, [answer = answer] {
      static_cast<QMessageBox*>(QApplication::activeModalWidget())->button(answer)->click();
    });
    EXPECT_TRUE(window.close() == closes && window.isVisible() != closes && (access("coeff1.txt", F_OK) == 0) == file)
        << answer;
    if (answer == QMessageBox::Save) saved = tuner.OptionsLine();
  }
  EXPECT_EQ(window.WrittenLines(), "coeff1.txt: " + saved + "\n");
}

// Each layout written from the values in memory: its count and its
// numbers, scanned here, printed as the designer prints its file ("%f"),
// are the built-in design's printed values in the layout's order, written
// out here; the response of what it holds is the design's, point for
// point (which the six-decimal values are not: the numbers hold every
// bit); "gain as exported" in the plot, its legend and the readout once
// something was exported. An export that fails says so and keeps the design.
TEST_F(Views, ExportsEveryLayoutInFullPrecision) {
  const auto shown = [this] {
    int legend = 0, curve = 0;
    for (auto* l : plot->findChildren<QwtLegendLabel*>())
      legend += !l->isHidden() && l->text().text().startsWith("gain as");
    for (QwtPlotItem* c : plot->itemList()) curve += c->isVisible() && c->title().text().startsWith("gain as");
    return std::tuple{legend, curve, response->TrackerText(1000).count('\n')};
  };
  EXPECT_EQ(shown(), std::tuple(0, 0, 1));
  const std::string dir = test::MakeTempDir();
#ifdef PELMORA_TUNING
  // Two sections of a0 a1 a2 b1 b2; SciPy's rows b0 b1 b2 1 a1 a2; CMSIS-DSP's b0 b1 b2 -a1 -a2.
  const std::vector<std::tuple<std::string, std::string, std::string>> layouts = {
      {"biquad-c", "#define BIQUAD_SECTIONS 2\n",
       "0.265783 0.000000 -0.265783 -0.385449 0.475031 0.422319 0.000000 -0.422319 -1.316578 0.639658 "},
      {"biquad-sos", "",
       "0.265783 0.000000 -0.265783 1.000000 -0.385449 0.475031 "
       "0.422319 0.000000 -0.422319 1.000000 -1.316578 0.639658 "},
      {"biquad-cmsis", "#define BIQUAD_CMSIS_STAGES 2\n",
       "0.265783 0.000000 -0.265783 0.385449 -0.475031 0.422319 0.000000 -0.422319 1.316578 -0.639658 "}};
#else
  // The file's 140 taps; CMSIS-DSP's in reverse: the 139 symmetric taps read the same backward, the final
  // zero comes first.
  std::string taps;
  std::istringstream lines(kBuiltInFile);
  for (std::string line; lines >> line;) taps += line + " ";
  ASSERT_EQ(taps.rfind("0.000000 ") + 9, taps.size());
  const std::vector<std::tuple<std::string, std::string, std::string>> layouts = {
      {"fir-c", "#define FIR_TAPS 140\n", taps},
      {"fir-cmsis", "#define FIR_CMSIS_TAPS 140\n", "0.000000 " + taps.substr(0, taps.size() - 9)}};
#endif
  for (const auto& [name, count, expected] : layouts) {
    ASSERT_TRUE(window.ExportTo(*FindCoeffLayout(name), QString::fromStdString(dir + "/" + name)));
    const std::string text = test::Read(dir + "/" + name);
    EXPECT_NE(text.find(count), std::string::npos) << name;
    std::string printed;
    for (float v : test::Numbers(text, text.find('{') + 1)) printed += QString::asprintf("%f ", v).toStdString();
    EXPECT_EQ(printed, expected) << name;
    std::vector<double> as_exported, designed;
    for (const QPointF& p : response->CurvePoints("gain as exported")) as_exported.push_back(p.y());
    for (const QPointF& p : response->CurvePoints("gain")) designed.push_back(p.y());
    EXPECT_EQ(as_exported, designed) << name;
  }
  EXPECT_EQ(shown(), std::tuple(1, 1, 2));
  bool exported = true;
  const QString folder = QString::fromStdString(dir);
  EXPECT_EQ(test::Printed([&] { exported = window.ExportTo(*FindCoeffLayout(std::get<0>(layouts[0])), folder); }),
            "|" + dir + " cannot be opened: Is a directory.\n");
  EXPECT_FALSE(exported);
}

// The window fits a 1024 x 600 screen: for every type, the buttons in view,
// no scroll bar, and no field moved by the words of a change held; Tab
// reaches every control of the form in order.
TEST_F(Window, FitsTheScreenAndTheKeyboard) {
  EXPECT_TRUE(window.minimumSizeHint().width() <= 1024 && window.minimumSizeHint().height() <= 560);
  window.resize(1024, 600);
  const auto rows = [this] {
    QApplication::processEvents();  // the layout
    QVector<int> y;
    for (int field = 0; field < int(tuner.Fields().size()); ++field)
      y << window.Editor(field)->mapTo(&window, QPoint()).y();
    return y;
  };
  for (int type = 0; type < 4; ++type) {
    window.Change(T::kType, type);
    const QVector<int> before = rows();
    window.Change(T::kFsamp, 1e15);
    EXPECT_EQ(rows(), before) << type;
    EXPECT_FALSE(window.Message().isEmpty() || window.findChild<QScrollArea*>("form")->verticalScrollBar()->isVisible())
        << type;
    QWidget* save = window.findChild<QWidget*>("save");  // Copy line on its left
    EXPECT_TRUE(window.rect().contains(QRect(save->mapTo(&window, QPoint()), save->size()))) << type;
  }
  window.Editor(0)->setFocus();
  for (int field = 1; field < int(tuner.Fields().size()); ++field) {
    if (!window.Editor(field)->isEnabled()) continue;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window.Editor(field)) << field;
  }
}

// After a corner's drag (60 px) and a rubber band's zoom, and at the
// canvas's corners, the readout gives the frequency under the pointer,
// whole within the canvas.
TEST_F(Views, ReadoutFollowsThePointerWhole) {
  const QRect r = canvas->contentsRect();
  const QPoint marker(int(std::lround(plot->transform(QwtPlot::xBottom, 2000))), r.height() / 2);
  for (const auto& [from, to] : std::vector<std::pair<QPoint, QPoint>>{
           {marker, marker + QPoint(60, 0)},
           {{r.width() * 6 / 10, r.height() / 3}, {r.width() * 9 / 10, r.height() * 2 / 3}},
           {r.topRight(), r.topRight()},
           {r.bottomRight(), r.bottomRight()},
           {r.bottomLeft(), r.bottomLeft()}}) {
    if (from != to) Drag(Qt::LeftButton, from, to);
    QTest::mouseMove(canvas, to);
    EXPECT_TRUE(Readout(plot)->isVisible() && r.contains(Readout(plot)->geometry())) << to.x() << "," << to.y();
    EXPECT_TRUE(Readout(plot)->text().startsWith(Hz(plot->invTransform(QwtPlot::xBottom, to.x())) + ":"))
        << Readout(plot)->text().toStdString();
  }
  const double hz_per_pixel = tuner.Fsamp() / 2 / r.width();
  EXPECT_NEAR(tuner.Value(Corners().front().first), 2000 + 60 * hz_per_pixel, 4 * hz_per_pixel);
  EXPECT_LT(Band().second - Band().first, 0.4 * tuner.Fsamp() / 2);
}

// Corner labels, with the lower corner at the highest that the limits
// accept (beside the upper one), on both axes: inside the canvas and apart.
TEST_F(Views, CornerLabelsApartAndWhole) {
  for (const auto& [log, closest] : {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
    if (closest) window.Change(Corners().front().first, tuner.Range(Corners().front().first).second);
    response->SetLogarithmic(log);
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
    response->SetLogarithmic(log);
    const auto whole = Band();
    const double hz = plot->invTransform(QwtPlot::xBottom, at.x());
    const double pixel = hz - plot->invTransform(QwtPlot::xBottom, at.x() - 1);
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
  const QVector<QPointF> phase = response->CurvePoints("phase");
  const auto step = [&phase](int i) { return phase[i + 1].y() - phase[i].y(); };
  for (int i : {0, phase.size() - 3}) EXPECT_NEAR(step(i), step(i + 1), 5.0) << phase[i].x();
  const QwtInterval axis = Shown<DelayView>()->Plot()->axisInterval(QwtPlot::yLeft);
  const QVector<QPointF> delay = window.View<DelayView>()->CurvePoints("group delay");
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
  QwtPlot* pz = Shown<PoleZeroView>()->Plot();
  const auto length = [pz](int axis) { return std::abs(pz->transform(axis, 1) - pz->transform(axis, -1)); };
  for (QSize size : {QSize(1000, 560), QSize(1000, 760)}) {
    window.resize(size);
    const auto square = [&] { return std::abs(length(QwtPlot::xBottom) - length(QwtPlot::yLeft)) <= 1; };
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.size() == size && square(); }))
        << length(QwtPlot::xBottom) << " x " << length(QwtPlot::yLeft) << " px";
  }
#ifdef PELMORA_TUNING
  const Section s = tuner.Design()[0];
  const Complex p = (-s.a[1] + std::sqrt(Complex(s.a[1] * s.a[1] - 4 * s.a[0] * s.a[2]))) / (2 * s.a[0]);
  const std::vector<std::tuple<Complex, QString, QString>> roots = {
      {1.0, "2", "2 zeros at 0.0 Hz, radius 1.000000"},
      {-1.0, "2", "2 zeros at 11025.0 Hz, radius 1.000000"},
      {p, "", "pole at " + Hz(std::arg(p) * tuner.Fsamp() / (2 * kPi)) + ", radius " +
                  QString::number(std::abs(p), 'f', 6)}};
#else
  const std::vector<std::tuple<Complex, QString, QString>> roots = {
      {0.0, "138", "138 poles at 0.0 Hz, radius 0.000000"}};
#endif
  const auto where = [](double x, double y, const QString& text) {
    return QString("%1,%2: %3").arg(qRound(x * 1e6)).arg(qRound(y * 1e6)).arg(text);
  };
  QStringList counts, expected;
  for (QwtPlotItem* item : pz->itemList())
    if (auto* m = dynamic_cast<QwtPlotMarker*>(item)) counts << where(m->xValue(), m->yValue(), m->label().text());
  for (const auto& [z, count, text] : roots) {
    if (!count.isEmpty()) expected << where(z.real(), z.imag(), count);
    const QPoint beside(pz->transform(QwtPlot::xBottom, z.real()) + 3, pz->transform(QwtPlot::yLeft, z.imag()) - 2);
    QTest::mouseMove(pz->canvas(), beside);
    EXPECT_EQ(Readout(pz)->text(), text);
  }
  EXPECT_EQ(counts, expected);
}

#ifdef PELMORA_TUNING
// Typed values taken as typed, in the configure's forms, or held at the
// limits with the words that say the bound (fs / 200 = 110.25 Hz from the
// upper corner; 0.49 fs = 10804.5 Hz; 60 dB), or refused as text; the
// ranges beside the fields from the same bounds; a dragged marker.
TEST_F(Window, TypedDraggedAndHeld) {
  EXPECT_EQ(window.RangeText(T::kLowerCorner), "allowed 110.3 to 4889.7 Hz");
  EXPECT_EQ(window.RangeText(T::kUpperCorner), "allowed 2110.3 to 10804.5 Hz");
  for (const auto& [field, typed, shown, message] : std::vector<std::tuple<int, QString, QString, QString>>{
           {T::kLowerCorner, "1e3", "1000.0 Hz", ""},
           {T::kLowerCorner, "20000", "4889.7 Hz",
            "at 3 dB a band-pass of order 2 with its upper corner at 5000 Hz needs its lower corner at 4889.7 Hz or "
            "below, at 22050 Hz"},
           {T::kLowerCorner, "1500.5", "1500.5 Hz", ""},
           {T::kUpperCorner, "1000", "1610.8 Hz",
            "at 3 dB a band-pass of order 2 with its lower corner at 1500.5 Hz needs its upper corner at 1610.8 Hz or "
            "above, at 22050 Hz"},
           {T::kAttenuation, "0", "0.00001 dB",  // the bound, with more decimals than the field's
            "a band-pass of order 2 with its corners at 1500.5 Hz and 1610.8 Hz needs its attenuation at 0.00001 dB or "
            "above, at 22050 Hz"},
           {T::kAttenuation, "75", "60.0 dB",
            "a band-pass of order 2 with its corners at 1500.5 Hz and 1610.8 Hz needs its attenuation at 60 dB or "
            "below, at 22050 Hz"},
           {T::kAttenuation, "abc", "60.0 dB",
            "attenuation: \"abc\" is not a number (such as 2000, 1500.5 or 2e3); the design is as it was"}}) {
    Type(field, typed);
    EXPECT_EQ(Box(field)->text(), shown);
    EXPECT_EQ(window.Message(), message);
  }
  Drag(Qt::LeftButton, At(1610.8), At(5000));
  EXPECT_NEAR(tuner.design().fc2, 5000, HzPerPixel());
  Drag(Qt::LeftButton, At(1500.5), At(9000));
  const float fc1 = float(std::floor((tuner.design().fc2 - 22050 / 200.0) * 10) / 10);  // fs / 200 below, inwards
  EXPECT_EQ(tuner.design().fc1, fc1);
  EXPECT_EQ(window.Message().toStdString(), "at 60 dB a band-pass of order 2 with its upper corner at " +
                                                ShortestDecimal(tuner.design().fc2) + " Hz needs its lower corner at " +
                                                ShortestDecimal(fc1) + " Hz or below, at 22050 Hz");
  EXPECT_EQ(response->CornerMarker(T::kLowerCorner)->xValue(), fc1);
  // Up steps from the value shown; Page Up ten steps.
  const double fc2 = tuner.design().fc2;
  for (Qt::Key key : {Qt::Key_Up, Qt::Key_PageUp}) QTest::keyClick(Box(T::kUpperCorner), key);
  EXPECT_EQ(tuner.design().fc2, float(fc2 + 11));
}

// The README's steeper filter chosen in the form: an elliptic low-pass of
// the least order for 0.5 dB to 1000 Hz and 60 dB from 1500 Hz at
// 44100 Hz, order 6 by the order formula. The requirement's lines are
// the values typed; the stop edge's marker drags; a ripple beyond its
// range is held at 10 dB with the words.
TEST_F(Window, BandRequirementDrawnAndDragged) {
  window.Change(T::kType, kLowPass);
  window.Change(T::kFamily, 3);  // elliptic
  window.Change(T::kOrder, 0);   // auto
  EXPECT_TRUE(window.Editor(T::kLowerStop)->isVisible() && !window.Editor(T::kAttenuation)->isVisible());
  for (const auto& [field, typed] : std::vector<std::pair<int, QString>>{
           {T::kFsamp, "44100"}, {T::kLowerCorner, "1000"}, {T::kLowerStop, "1500"}, {T::kRipple, "0.5"}}) {
    Type(field, typed);
    EXPECT_EQ(window.Message(), "") << typed.toStdString();
  }
  EXPECT_EQ(tuner.OptionsLine(),
            "-DPELMORA_TYPE=low-pass -DPELMORA_FAMILY=elliptic -DPELMORA_ORDER=auto -DPELMORA_FC1=1000 "
            "-DPELMORA_STOP1=1500 -DPELMORA_RIPPLE_DB=0.5 -DPELMORA_STOPBAND_DB=60 -DPELMORA_FSAMP=44100");
  EXPECT_EQ(tuner.Words().substr(0, 53), "elliptic low-pass of order 6, the least for the bands");
  EXPECT_EQ(response->CurvePoints("pass band"), (QVector<QPointF>{{0, -0.5}, {1000, -0.5}}));
  EXPECT_EQ(response->CurvePoints("pass band ceiling"), (QVector<QPointF>{{0, 0}, {1000, 0}}));
  EXPECT_EQ(response->CurvePoints("stop band"), (QVector<QPointF>{{1500, -60}, {22050, -60}}));
  // A wider transition needs a lower order.
  Drag(Qt::LeftButton, At(1500), At(3000));
  EXPECT_NEAR(tuner.design().stop1, 3000, HzPerPixel());
  EXPECT_EQ(response->CurvePoints("stop band").front().x(), tuner.design().stop1);
  EXPECT_LT(tuner.Words()[27], '6') << tuner.Words();
  Type(T::kRipple, "20");
  const std::string held = window.Message().toStdString();
  EXPECT_EQ(held.substr(0, 30), "an elliptic low-pass of order ");
  EXPECT_EQ(held.substr(held.size() - 58), " needs its pass band ripple at 10 dB or below, at 44100 Hz");
  EXPECT_EQ(tuner.design().ripple_db, 10.0f);
}
#else
// Typed values taken as typed (whole counts in any of the configure's
// forms), held at the limits with the words, or refused as text.
TEST_F(Window, TypedDraggedAndHeld) {
  for (const auto& [field, typed, shown, message] : std::vector<std::tuple<int, QString, QString, QString>>{
           {T::kTaps, "51", "51", ""},
           {T::kBins, "101", "101", ""},
           {T::kTaps, "500", "102",
            "with 101 frequency samples a band-pass needs its requested taps at 102 or below, at 22050 Hz"},
           {T::kTaps, "2.5", "102",
            "requested taps: \"2.5\" is not a whole number (such as 51 or 1e2) or auto; the design is as it was"},
           {T::kBins, "2e2", "200", ""},
           {T::kAlpha, "95", "91.9", "with 200 frequency samples a band-pass needs its Kaiser alpha at 91.9 or below"},
           {T::kEdge2, "5000 Hz", "5000.0 Hz", ""},
           {T::kTaps, "auto", "auto", ""}}) {
    Type(field, typed);
    EXPECT_EQ(Box(field)->text(), shown);
    EXPECT_EQ(window.Message(), message);
  }
  EXPECT_EQ(tuner.design().taps, 0);
  EXPECT_EQ(window.RangeText(T::kTaps), "allowed auto, or 1 to 400");
  EXPECT_FALSE(window.Editor(T::kAlpha)->isVisible());  // found with the count
  Drag(Qt::LeftButton, At(2000), At(3000));
  EXPECT_NEAR(tuner.design().bpf_fc1, 3000, HzPerPixel());
}
#endif

}  // namespace

// Under LeakSanitizer: Qt's offscreen platform keeps its screen, and
// what hangs on it, to the end of the process.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libqoffscreen.so\nleak:QScreen::QScreen\nleak:QPlatformScreen::QPlatformScreen\n"
         "leak:handleScreenAdded\nleak:ExternalRefCountData::getAndRef\nleak:QObject::QObject\n";
}

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("XDG_RUNTIME_DIR", test::MakeTempDir().c_str(), 1);
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
