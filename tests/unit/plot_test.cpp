// The response plot against a reviewed picture.

#include <opencv2/core/core_c.h>

#include <limits>

#include "core/state.h"
#include "plot/response_plot.h"
#include "tests/support.h"

namespace {

// The plot of `gain` and `phase` with a frequency span of `span` Hz.
test::Image Draw(const float* gain, const float* phase, float span) {
  freq_range = span;
  IplImage* canvas = CreateCanvas();
  DrawFres(canvas, kPlotX0, kPlotY0, gain, phase, LabelColumn{"%9.1f", {-60, 125, 305}, -27});
  test::Image drawn{canvas->width, canvas->height, {}};
  for (int y = 0; y < drawn.height; ++y) {
    const auto* bgr = reinterpret_cast<const uint8_t*>(canvas->imageData + y * canvas->widthStep);
    for (int x = 0; x < 3 * drawn.width; x += 3) drawn.rgb.insert(drawn.rgb.end(), {bgr[x + 2], bgr[x + 1], bgr[x]});
  }
  cvReleaseImage(&canvas);
  return drawn;
}

// A response that reaches every rule of the plot: truncation toward zero,
// gains beyond the grid (infinities too) on the frame, phases beyond it
// (up to the 12.5 rad that eight sections can sum to) drawn where they
// fall, values that are not numbers on the zero rows;
// at 80 dB, 2.5 pixels per dB, and at 9800 Hz, 2.25 pixels per point, so
// that the segment to point 160 would end exactly on the frame and is left
// out. At 20000 Hz all 179 segments lie inside the grid, and no more.
TEST(ResponsePlot, DrawsAsTheReviewedPicture) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  const float steps[][2] = {{0, 0},     {-50.8f, 3.1415927f}, {25, -3.1415927f}, {inf, 4},  {-inf, -6},
                            {nan, nan}, {-1000, 1.5707964f},  {-3.3f, 12.5f},    {16, -12.5f}};
  float gain[kResponseSize], phase[kResponseSize];
  for (int i = 0; i < kResponseSize; ++i) {
    gain[i] = i < 90 ? steps[i / 10][0] : (i < 180 ? -0.45f * float(i - 90) : inf);
    phase[i] = i < 90 ? steps[i / 10][1] : (i < 180 ? std::sin(0.3f * float(i)) : 4.0f);
  }
  gain_range = 80.0f;
  const test::Image drawn = Draw(gain, phase, 9800.0f);
  if (drawn.rgb != test::ReadPng(TEST_DATA_DIR "/plot.png").rgb) {
    // Kept for review: a new reference picture is taken only on purpose.
    const std::string file = test::MakeTempDir() + "/plot.ppm";
    test::Write(file, "P6\n640 360\n255\n" + std::string(drawn.rgb.begin(), drawn.rgb.end()));
    ADD_FAILURE() << "the plot differs from tests/data/plot.png; drawn: " << file;
  }
  const test::Image wide = Draw(gain, phase, 20000.0f);  // point 179 at x offset 197: nothing of a curve beyond
  for (int y = 0; y < 360; ++y) EXPECT_FALSE(wide.At(298, y)[2] == 0 && wide.At(298, y)[0] + wide.At(298, y)[1]) << y;
}

}  // namespace
