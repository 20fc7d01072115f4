// The response plot, checked pixel by pixel in an in-memory canvas where
// the plot fixes the pixels: grid, frame, curves, legend samples, texts.

#include <opencv2/core/core_c.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

DEFINE_SHARED_STATE();
const LabelColumn& kProgramLabels = kPelmoraLabels;

namespace {

constexpr int kX0 = 100, kY0 = 60;

struct Bgr {
  int b, g, r;
  bool operator==(const Bgr& o) const { return b == o.b && g == o.g && r == o.r; }
  bool operator!=(const Bgr& o) const { return !(*this == o); }
};
std::ostream& operator<<(std::ostream& os, const Bgr& c) {
  return os << "(" << c.b << ", " << c.g << ", " << c.r << ")";
}

const Bgr kWhite{255, 255, 255}, kBlack{0, 0, 0};
const Bgr kGrid{200, 200, 200}, kFrame{100, 100, 100};
const Bgr kPhase{0, 200, 0}, kPhaseLegend{0, 255, 0}, kGain{0, 0, 255};

class PlotTest : public ::testing::Test {
 protected:
  float gain_[kResponseSize] = {};
  float phase_[kResponseSize] = {};
  IplImage* canvas_ = nullptr;

  void SetUp() override {
    Fsamp = 22050.0f;
    freq_range = 10000.0f;
    gain_range = 100.0f;
  }
  void TearDown() override { cvReleaseImage(&canvas_); }

  void Fill(float gain, float phase) {
    for (int i = 0; i < kResponseSize; ++i) {
      gain_[i] = gain;
      phase_[i] = phase;
    }
  }
  void Draw() {
    if (canvas_) cvReleaseImage(&canvas_);
    canvas_ = CreateCanvas();
    DrawFres(canvas_, kX0, kY0, gain_, phase_);
  }
  // Colour at an offset from the plot origin.
  Bgr At(int dx, int dy) const {
    const auto* p = reinterpret_cast<const unsigned char*>(canvas_->imageData + (kY0 + dy) * canvas_->widthStep) +
                    (kX0 + dx) * 3;
    return Bgr{p[0], p[1], p[2]};
  }
  // Rows of column dx that hold colour c.
  std::vector<int> RowsWith(int dx, const Bgr& c) const {
    std::vector<int> rows;
    for (int dy = -kY0; dy < kCanvasHeight - kY0; ++dy) {
      if (At(dx, dy) == c) rows.push_back(dy);
    }
    return rows;
  }
  // The rightmost column that holds colour c on row dy, or -1.
  int LastColumnWith(int dy, const Bgr& c) const {
    for (int dx = kCanvasWidth - kX0 - 1; dx >= -kX0; --dx) {
      if (At(dx, dy) == c) return dx;
    }
    return -1;
  }
};

TEST_F(PlotTest, GridAndFrame) {
  // Curves out of the way: gain on the 0 dB row (2), phase on row 7.
  Fill(0.0f, 0.0f);
  Draw();
  for (int k = 1; k <= 11; ++k) {
    if (k == 2 || k == 7) continue;
    EXPECT_EQ(At(10, 20 * k), kGrid) << "grid row " << k;
    EXPECT_EQ(At(10, 20 * k + 1), kWhite) << "below grid row " << k;
  }
  for (int k = 1; k <= 9; ++k) {
    EXPECT_EQ(At(36 * k, 10), kGrid) << "grid column " << k;
    EXPECT_EQ(At(36 * k + 1, 10), kWhite) << "beside grid column " << k;
  }
  for (int dy : {0, 240}) {
    EXPECT_EQ(At(10, dy), kFrame);
    EXPECT_EQ(At(36, dy), kFrame) << "the frame covers the grid";
  }
  for (int dx : {0, 360}) {
    EXPECT_EQ(At(dx, 10), kFrame);
    EXPECT_EQ(At(dx, 20), kFrame) << "the frame covers the grid";
  }
  EXPECT_EQ(At(-1, 10), kWhite);
  EXPECT_EQ(At(361, 10), kWhite);
  EXPECT_EQ(At(10, -1), kWhite);
  EXPECT_EQ(At(10, 241), kWhite);
  // The canvas around the plot stays white.
  EXPECT_EQ(At(-kX0, -kY0), kWhite);
  EXPECT_EQ(At(kCanvasWidth - kX0 - 1, kCanvasHeight - kY0 - 1), kWhite);
}

TEST_F(PlotTest, CurvesStopAtTheLastPointInsideTheGrid) {
  // s = 2.205 pixels per point: 163 segments, the last ending at x 359.
  Fill(0.0f, 0.0f);
  Draw();
  EXPECT_EQ(LastColumnWith(40, kGain), 359);
  EXPECT_EQ(At(360, 40), kFrame);
  EXPECT_EQ(LastColumnWith(140, kPhase), 359);
  EXPECT_EQ(At(0, 40), kGain);
  EXPECT_EQ(At(0, 140), kPhase);

  // s = 2.0: all 179 segments, the last ending at x 358.
  freq_range = 11025.0f;
  Draw();
  EXPECT_EQ(LastColumnWith(40, kGain), 358);
  EXPECT_EQ(At(359, 40), kGrid);

  // A wider span leaves the right of the grid without curves.
  freq_range = 20000.0f;
  Draw();
  EXPECT_EQ(LastColumnWith(40, kGain), 197);  // 179 points at 1.1025 pixels
}

TEST_F(PlotTest, GainRowsAreTruncatedAndClippedAtTheFrame) {
  struct Case {
    float gain;
    int row;
  };
  const float inf = std::numeric_limits<float>::infinity();
  for (const Case& c : {Case{0.0f, 40}, {-50.8f, 141}, {-100.0f, 240}, {-1000.0f, 240}, {-inf, 240},
                        {20.0f, 0}, {25.0f, 0}, {inf, 0}, {std::nanf(""), 40}, {-5.0f, 50}}) {
    Fill(c.gain, -3.0f);  // phase well below the gain rows tested
    Draw();
    EXPECT_EQ(RowsWith(100, kGain), std::vector<int>{c.row}) << "gain " << c.gain;
  }
}

TEST_F(PlotTest, PhaseRowsAreTruncatedAndNotLimited) {
  struct Case {
    float phase;
    int row;
  };
  for (const Case& c : {Case{0.0f, 140}, {3.14159265f, 60}, {-3.14159265f, 220}, {1.5707963f, 100},
                        {4.0f, 38}, {std::nanf(""), 140}, {-6.0f, 293}}) {
    Fill(-1000.0f, c.phase);  // gain on the bottom frame line
    Draw();
    EXPECT_EQ(RowsWith(100, kPhase), std::vector<int>{c.row}) << "phase " << c.phase;
  }
}

TEST_F(PlotTest, GainCoversPhaseAndPointsLieAtTruncatedColumns) {
  // -50 dB and 0 rad share row 140: the gain curve is drawn last.
  Fill(-50.0f, 0.0f);
  Draw();
  EXPECT_EQ(At(100, 140), kGain);
  EXPECT_TRUE(RowsWith(100, kPhase).empty());

  // A step after point 3: point 3 lies at x 6 (6.615 truncated), so the
  // steep segment to point 4 (x 8) leaves row 40 at column 6, not 7.
  Fill(0.0f, -3.0f);
  for (int i = 4; i < kResponseSize; ++i) gain_[i] = -100.0f;
  Draw();
  EXPECT_EQ(At(6, 40), kGain);
  EXPECT_NE(At(7, 40), kGain);
  EXPECT_EQ(At(8, 240), kGain);
}

TEST_F(PlotTest, LegendSamplesAndTexts) {
  Fill(-1000.0f, -3.0f);
  Draw();
  // Samples on canvas row 30, the phase sample brighter than its curve.
  for (int dx = 250; dx <= 270; ++dx) EXPECT_EQ(At(dx, -30), kPhaseLegend) << dx;
  for (int dx = 140; dx <= 160; ++dx) EXPECT_EQ(At(dx, -30), kGain) << dx;
  EXPECT_EQ(At(249, -30), kWhite);
  EXPECT_EQ(At(271, -30), kWhite);

  // Every text is drawn in black at its place: some black pixel lies
  // within the first 10 pixels right of and above its baseline start.
  auto black_near = [&](int dx, int dy) {
    for (int y = dy - 10; y <= dy; ++y) {
      for (int x = dx; x < dx + 10; ++x) {
        if (At(x, y) == kBlack) return true;
      }
    }
    return false;
  };
  for (const PlotText& t : ScaleTexts(kPelmoraLabels)) {
    const size_t lead = t.text.find_first_not_of(' ');
    EXPECT_TRUE(black_near(t.dx + 9 * static_cast<int>(lead), t.dy)) << "\"" << t.text << "\"";
  }
  EXPECT_TRUE(black_near(200, -25)) << "Phase";
  EXPECT_TRUE(black_near(100, -25)) << "Gain";
  // Nothing black where no text stands.
  EXPECT_FALSE(black_near(20, 120));
}

TEST(PlotTexts, ScaleTextsForEachProgram) {
  gain_range = 100.0f;
  freq_range = 10000.0f;
  const std::vector<std::string> fixed = {"Gain [dB]", " 20.0", "  0",   "- 50.0", "-100.0",
                                          "Phase [rad]", "  pi ", " pi/2", "   0 ",  "-pi/2", " -pi "};
  struct Column {
    const LabelColumn& labels;
    std::vector<std::string> freq;
    std::vector<int> x;
  };
  const std::vector<Column> columns = {
      {kPelmoraLabels, {"         0", "      5000", "     10000"}, {-70, 115, 295}},
      {kTavrineLabels, {"       0", "    5000", "   10000"}, {-50, 130, 310}},
      {kCorvellLabels, {"       0", "    5000", "   10000"}, {-55, 130, 310}},
      {kSunnaqLabels, {"         0", "      5000", "     10000"}, {-70, 120, 300}},
  };
  for (const Column& c : columns) {
    const std::vector<PlotText> texts = ScaleTexts(c.labels);
    ASSERT_EQ(texts.size(), 15u);
    for (size_t k = 0; k < fixed.size(); ++k) EXPECT_EQ(texts[k].text, fixed[k]);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(texts[11 + k].text, c.freq[k]);
      EXPECT_EQ(texts[11 + k].dx, c.x[k]);
      EXPECT_EQ(texts[11 + k].dy, 255);
    }
    EXPECT_EQ(texts[14].text, "[Hz]");
  }
  EXPECT_EQ(kSunnaqLabels.legend_y, -30);
  EXPECT_EQ(kPelmoraLabels.legend_y, -25);

  // Much larger settings give longer texts, whole.
  gain_range = 1e30f;
  freq_range = 3e20f;
  const std::vector<PlotText> big = ScaleTexts(kPelmoraLabels);
  EXPECT_EQ(big[4].text.substr(0, 8), "-1000000");
  EXPECT_GT(big[4].text.size(), 30u);
  EXPECT_GT(big[13].text.size(), 20u);
  gain_range = 100.0f;
  freq_range = 10000.0f;
}

}  // namespace
