#include "plot/tune_window.h"

#include <opencv2/core/core_c.h>
#include <opencv2/highgui/highgui_c.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "plot/frame.h"
#include "plot/response_plot.h"
#include "plot/shared_state.h"

namespace {

// The plot's grid, as every program draws it: origin (100, 60), 360 by
// 240 pixels, freq_range Hz across.
constexpr int kX0 = 100, kY0 = 60, kGridWidth = 360, kGridHeight = 240;

// The window's state, shared with the trackbar and mouse callbacks.
struct TuneWindow {
  const char* title = nullptr;
  Tuner* tuner = nullptr;
  IplImage* canvas = nullptr;
  std::vector<TunerControl> controls;
  std::deque<int> positions;  // the trackbars' own values (stable addresses)
  bool following = false;     // trackbars are being set to the design
};
TuneWindow window;

// Sets every trackbar to the position of the design's value: a change held
// at a limit moves its trackbar back to the edge, a click moves the
// trackbar of its corner. The callbacks that this sets off do nothing.
void FollowDesign() {
  window.following = true;
  for (size_t i = 0; i < window.controls.size(); ++i) {
    const int position = window.tuner->Position(static_cast<int>(i));
    if (cvGetTrackbarPos(window.controls[i].name.c_str(), window.title) != position) {
      cvSetTrackbarPos(window.controls[i].name.c_str(), window.title, position);
    }
  }
  window.following = false;
}

// Draws the new design and shows it with the status.
void Redraw() {
  DrawDesign(*window.tuner, window.canvas);
  cvShowImage(window.title, window.canvas);
  cvDisplayStatusBar(window.title, window.tuner->Status().c_str(), 0);
}

void OnTrackbar(int position, void* control) {
  if (window.following) return;
  window.tuner->Move(static_cast<int>(reinterpret_cast<intptr_t>(control)), position);
  FollowDesign();
  Redraw();
}

void OnMouse(int event, int x, int y, int, void*) {
  if (event != CV_EVENT_LBUTTONDOWN || x < kX0 || x > kX0 + kGridWidth || y < kY0 || y > kY0 + kGridHeight) return;
  window.tuner->Click(static_cast<double>(x - kX0) * static_cast<double>(freq_range) / kGridWidth);
  FollowDesign();
  Redraw();
}

}  // namespace

void DrawDesign(Tuner& tuner, IplImage* canvas) {
  tuner.Respond();
  cvSet(canvas, cvScalarAll(255), nullptr);
  DrawFres(canvas, kX0, kY0, Gain, Theta);
}

bool TuneInWindow(const char* title, Tuner& tuner) {
  window.title = title;
  window.tuner = &tuner;
  window.canvas = CreateCanvas();
  window.controls = tuner.Controls();
  DrawDesign(tuner, window.canvas);

  OpenWindowForInput(title);
  for (size_t i = 0; i < window.controls.size(); ++i) {
    window.positions.push_back(tuner.Position(static_cast<int>(i)));
    cvCreateTrackbar2(window.controls[i].name.c_str(), title, &window.positions.back(), window.controls[i].max,
                      OnTrackbar, reinterpret_cast<void*>(static_cast<intptr_t>(i)));
  }
  cvSetMouseCallback(title, OnMouse, nullptr);
  cvShowImage(title, window.canvas);
  cvDisplayStatusBar(title, tuner.Status().c_str(), 0);

  constexpr int kEnter = 13, kLineFeed = 10, kKeypadEnter = 65421, kEscape = 27;
  for (;;) {
    const int key = NextKey(title);
    const bool save = key == kEnter || key == kLineFeed || key == kKeypadEnter || key == 's' || key == 'S';
    if (save || key < 0 || key == kEscape || key == 'q' || key == 'Q') {
      EndWindowInput();
      return save;
    }
  }
}
