// The program frame that every program with an OpenCV window shares: a
// white canvas of 640 by 360 pixels, and a window that shows it until a
// key is pressed.
#pragma once

#include "core/display.h"

struct _IplImage;
typedef struct _IplImage IplImage;

constexpr int kCanvasWidth = 640;
constexpr int kCanvasHeight = 360;


// Creates the canvas (640 x 360, 8-bit, 3 channels, blue-green-red) and
// fills it with white. It is never released: it lives as long as the
// process.
IplImage* CreateCanvas();

// Shows the canvas in a window with the given title until a key is
// pressed: the window is created, its toolbar made compact (icons) so that
// it fits a 1024 x 600 panel, and the image shown once; between 1 ms
// key waits the loop sleeps on the window system's descriptors (1 ms after
// an event, doubling to 100 ms while nothing happens), shows the window
// again if it was closed or destroyed by another client, and the first key
// of any kind ends it. If
// the window cannot be opened or is lost, it prints one line on standard
// error that says why (after the window system's own lines, unless the
// display cannot be reached) and exits with kNoWindowStatus.
void ShowUntilKey(const char* title, IplImage* canvas);
