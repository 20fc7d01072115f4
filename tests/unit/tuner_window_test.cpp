// The tuners' window on Qt's offscreen platform, driven as a user does:
// values typed into the form and held at the limits with their words, a
// dragged corner marker, the type switched from the keyboard, saves that
// succeed and fail, the configure line read back; the views' values
// against the transfer function, roots and impulse response computed here
// from the design chain's coefficients.

// Built once per designer (each holds its own state): PELMORA_TUNING
// selects pelmora's tuner, else tavrine's.

#include <fcntl.h>
#include <qwt_plot.h>
#include <qwt_plot_marker.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest/QTest>
#include <complex>

#include "tests/support.h"
#include "tune/tuner_window.h"
#ifdef PELMORA_TUNING
#include "iir/iir_design.h"
#include "iir/pelmora_limits.h"
#include "iir/pelmora_tuning.h"
using T = PelmoraTuner;
const auto kStart = kBuiltInPelmoraDesign;
// The built-in design's file, as printed when the designer was checked.
const std::string kBuiltInFile =
    "0.265783\n0.000000\n-0.265783\n-0.385449\n0.475031\n0.422319\n0.000000\n-0.422319\n-1.316578\n0.639658\n";
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
  void Mouse(QEvent::Type type, double hz, Qt::MouseButtons buttons) {
    QwtPlot* plot = window.ResponsePlot();
    const QPoint at(static_cast<int>(std::lround(plot->transform(QwtPlot::xBottom, hz))), plot->canvas()->height() / 2);
    QMouseEvent event(type, at, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(plot->canvas(), &event);
  }
  // Drags the marker at `from` to `to` (Hz).
  void Drag(double from, double to) {
    Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    Mouse(QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
  }
  double HzPerPixel() { return tuner.Fsamp() / 2 / window.ResponsePlot()->canvas()->width(); }
  void ShowView(int tab) { window.findChild<QTabWidget*>()->setCurrentIndex(tab); }
};

// The design's cascade from the chain's coefficients, and the file's from
// "%f" text of each read back as a float.
Cascade ChainCascade(bool file) {
  const auto value = [file](float v) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(v));
    return file ? static_cast<double>(std::strtof(text, nullptr)) : v;
  };
  Cascade cascade;
#ifdef PELMORA_TUNING
  const int sections = IsBand(FilType) && OrderN == 2 ? 2 : 1;
  for (int i = 0; i < sections; ++i)
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
    window.SetLogarithmic(log);
    for (const auto& [name, file, phase] : {std::tuple{"gain", false, false}, {"gain of coeff1.txt", true, false},
                                            {"phase", false, true}}) {
      const QVector<QPointF> points = window.CurvePoints(name);
      ASSERT_GE(points.size(), window.ResponsePlot()->canvas()->width()) << name;
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
      if (log) {
        EXPECT_NEAR(points[2].x() / points[1].x(), points[1].x() / points[0].x(), 1e-9);
      }
    }
  }
  window.SetLogarithmic(false);
  window.ResponsePlot()->setAxisScale(QwtPlot::xBottom, 1000, 2000);
  window.ResponsePlot()->replot();
  QVector<QPointF> zoomed = window.CurvePoints("gain");
  EXPECT_TRUE(zoomed.front().x() == 1000 && zoomed.back().x() == 2000 && zoomed.size() >= 1024);
  window.ShowWholeBand();
  EXPECT_EQ(window.CurvePoints("gain").back().x(), half);
  const Complex h = H(ChainCascade(false), 2 * kPi * 3000 / tuner.Fsamp());
  EXPECT_TRUE(window.TrackerText(3000).startsWith(
      QString("3000.0 Hz: %1 dB, %2").arg(20 * std::log10(std::abs(h)), 0, 'f', 2).arg(std::arg(h) * 180 / kPi, 0, 'f', 1)))
      << window.TrackerText(3000).toStdString();
}

// Group delay against the phase's slope, the impulse response against H
// (its transform), and the roots: pelmora's poles and zeros from the
// quadratic formula of each section; tavrine's zeros, one fewer than the
// taps, where the taps' polynomial vanishes.
TEST_F(Window, OtherViewsAgainstIndependentValues) {
  const Cascade cascade = ChainCascade(false);
  ShowView(1);
  const QVector<QPointF> delay = window.CurvePoints("group delay");
  ASSERT_GE(delay.size(), 1024);
  for (int i = 1; i < delay.size() - 1; i += 53) {
    const double w = 2 * kPi * delay[i].x() / tuner.Fsamp(), dw = 1e-6;
    if (std::abs(H(cascade, w)) < 1e-3) continue;  // a stop band's zeros
    const double slope = -std::arg(H(cascade, w + dw) / H(cascade, w - dw)) / (2 * dw);
    ASSERT_NEAR(delay[i].y(), slope, 1e-4 * (1 + std::fabs(slope))) << delay[i].x();
  }
  ShowView(3);
  const QVector<QPointF> impulse = window.CurvePoints("impulse response");
  for (double w : {0.3, 1.1, 2.9}) {
    Complex sum = 0.0;
    for (const QPointF& p : impulse) sum += p.y() * std::exp(Complex(0, -w * p.x()));
    EXPECT_LT(std::abs(sum - H(cascade, w)), 1e-6) << w;
  }
  ShowView(2);
  const QVector<QPointF> zeros = window.CurvePoints("zeros"), poles = window.CurvePoints("poles");
#ifdef PELMORA_TUNING
  std::vector<Complex> expected_zeros, expected_poles;
  for (const Section& s : cascade) {
    for (double sign : {-1.0, 1.0}) {
      expected_zeros.push_back((-s.b[1] + sign * std::sqrt(Complex(s.b[1] * s.b[1] - 4 * s.b[0] * s.b[2]))) / (2 * s.b[0]));
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

  const std::string err = dir + "/err";
  const int saved_stderr = dup(2);
  ASSERT_EQ(std::remove("coeff1.txt") | mkdir("coeff1.txt", 0755), 0);
  dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
  const bool saved = window.SaveTo("coeff1.txt");
  dup2(saved_stderr, 2);
  EXPECT_FALSE(saved);
  EXPECT_EQ(test::Read(err), "coeff1.txt cannot be opened: Is a directory.\n");
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

// Each layout written from the values in memory: its numbers, scanned
// here, are the chain's single-precision values in the layout's order
// (CMSIS-DSP's feedback negated, its taps reversed), and the response of
// what it holds is the design's, point for point. An export that fails
// says so and keeps the design.
TEST_F(Window, ExportsEveryLayoutInFullPrecision) {
  const std::string dir = test::MakeTempDir();
  std::vector<float> file_order;
  for (const Section& s : ChainCascade(false)) {
    for (size_t i = 0; i < s.b.size(); ++i) file_order.push_back(static_cast<float>(s.b[i]));
    for (size_t i = 1; i < s.a.size(); ++i) file_order.push_back(static_cast<float>(s.a[i]));
  }
#ifdef PELMORA_TUNING
  const std::vector<std::string> layouts = {"biquad-c", "biquad-sos", "biquad-cmsis"};
#else
  if (evenTap) file_order.push_back(0.0f);
  const std::vector<std::string> layouts = {"fir-c", "fir-cmsis"};
#endif
  for (const std::string& name : layouts) {
    std::vector<float> expected = file_order;
    for (size_t k = 0; name == "biquad-sos" && k < expected.size(); k += 6) expected.insert(expected.begin() + k + 3, 1);
    for (size_t k = 0; name == "biquad-cmsis" && k < expected.size(); k += 5) expected[k + 3] *= -1, expected[k + 4] *= -1;
    if (name == "fir-cmsis") std::reverse(expected.begin(), expected.end());
    ASSERT_TRUE(window.ExportTo(*FindCoeffLayout(name), QString::fromStdString(dir + "/" + name)));
    const std::string text = test::Read(dir + "/" + name);
    EXPECT_EQ(test::Numbers(text, text.find('{') + 1), expected) << name;
    const auto gains = [this](const char* curve) {
      std::vector<double> y;
      for (const QPointF& p : window.CurvePoints(curve)) y.push_back(p.y());
      return y;
    };
    EXPECT_EQ(gains("gain as exported"), gains("gain")) << name;
  }
  const std::string folder = dir + "/folder";
  mkdir(folder.c_str(), 0755);
  const int saved_stderr = dup(2);
  dup2(open((dir + "/err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
  const bool exported = window.ExportTo(*FindCoeffLayout(layouts[0]), QString::fromStdString(folder));
  dup2(saved_stderr, 2);
  EXPECT_FALSE(exported);
  EXPECT_EQ(test::Read(dir + "/err"), folder + " cannot be opened: Is a directory.\n");
}

// The window fits a 1024 x 600 screen: for every type, the buttons in view,
// no scroll bar, and no field moved by the words of a change held; Tab
// reaches every control of the form in order.
TEST_F(Window, FitsTheScreenAndTheKeyboard) {
  EXPECT_LE(window.minimumSizeHint().width(), 1024);
  EXPECT_LE(window.minimumSizeHint().height(), 560);
  window.resize(1024, 600);
  const auto rows = [this] {
    QApplication::processEvents();  // the layout
    QVector<int> y;
    for (int field = 0; field < int(tuner.Fields().size()); ++field) y << window.Editor(field)->mapTo(&window, QPoint()).y();
    return y;
  };
  for (int type = 0; type < 4; ++type) {
    window.Change(T::kType, type);
    const QVector<int> before = rows();
    window.Change(T::kFsamp, 1e15);
    EXPECT_EQ(rows(), before) << type;
    EXPECT_FALSE(window.Message().isEmpty() || window.findChild<QScrollArea*>("form")->verticalScrollBar()->isVisible());
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
  Drag(1610.8, 5000);
  EXPECT_NEAR(tuner.design().fc2, 5000, HzPerPixel());
  Drag(1500.5, 9000);
  const float fc1 = float(std::floor((tuner.design().fc2 - 22050 / 200.0) * 10) / 10);  // fs / 200 below, inwards
  EXPECT_EQ(tuner.design().fc1, fc1);
  EXPECT_EQ(window.Message().toStdString(), "at 60 dB a band-pass of order 2 with its upper corner at " +
                                                ShortestDecimal(tuner.design().fc2) + " Hz needs its lower corner at " +
                                                ShortestDecimal(fc1) + " Hz or below, at 22050 Hz");
  EXPECT_EQ(window.CornerMarker(T::kLowerCorner)->xValue(), fc1);
  // Up steps from the value shown; Page Up ten steps.
  const double fc2 = tuner.design().fc2;
  for (Qt::Key key : {Qt::Key_Up, Qt::Key_PageUp}) QTest::keyClick(Box(T::kUpperCorner), key);
  EXPECT_EQ(tuner.design().fc2, float(fc2 + 11));
}
#else
// At 8000 Hz, End in the type list takes the band-reject with its upper
// edge moved from 7000 Hz to the highest that the rate accepts (below
// 4000 Hz); a dragged edge follows; typed taps beyond the frequency
// samples are held.
TEST_F(Window, TypeSwitchAtEightKilohertz) {
  ASSERT_EQ(tuner.Configure({"-DTAVRINE_TYPE=high-pass", "-DTAVRINE_HPF_FC1=1000", "-DTAVRINE_FSAMP=8000",
                             "-DTAVRINE_TAPS=63"}), "");
  TunerWindow at8000(tuner);
  at8000.show();
  auto* type = static_cast<QComboBox*>(at8000.Editor(T::kType));
  type->setFocus();
  QTest::keyClick(type, Qt::Key_End);
  EXPECT_EQ(type->currentText(), "band-reject");
  EXPECT_TRUE(tuner.design().brf_fc1 == 3000 && tuner.design().brf_fc2 == 3999.9f && TavrineAccepts(tuner.design()));
  EXPECT_EQ(at8000.Message(), "with 400 frequency samples a band-reject takes no corners or edges as they were: upper "
                              "edge to 3999.9 Hz, at 8000 Hz");
  EXPECT_EQ(static_cast<QAbstractSpinBox*>(at8000.Editor(T::kEdge2))->text(), "3999.9 Hz");
}

// Typed values taken as typed (whole counts in any of the configure's
// forms), held at the limits with the words, or refused as text.
TEST_F(Window, TypedDraggedAndHeld) {
  for (const auto& [field, typed, shown, message] : std::vector<std::tuple<int, QString, QString, QString>>{
           {T::kTaps, "51", "51", ""},
           {T::kBins, "101", "101", ""},
           {T::kTaps, "500", "102", "with 101 frequency samples a band-pass needs its requested taps at 102 or below, at 22050 Hz"},
           {T::kTaps, "2.5", "102", "requested taps: \"2.5\" is not a whole number (such as 51 or 1e2); the design is as it was"},
           {T::kBins, "2e2", "200", ""},
           {T::kAlpha, "95", "91.9", "with 200 frequency samples a band-pass needs its Kaiser alpha at 91.9 or below"},
           {T::kEdge2, "5000 Hz", "5000.0 Hz", ""}}) {
    Type(field, typed);
    EXPECT_EQ(Box(field)->text(), shown);
    EXPECT_EQ(window.Message(), message);
  }
  Drag(2000, 3000);
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
