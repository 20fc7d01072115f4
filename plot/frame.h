// The program frame that all four programs share: a white canvas of
// 640 by 360 pixels, and a window that shows it until a key is pressed.
#pragma once

struct _IplImage;
typedef struct _IplImage IplImage;

constexpr int kCanvasWidth = 640;
constexpr int kCanvasHeight = 360;

// Exit status of a program that finds no display to open its window on.
constexpr int kNoDisplayStatus = 3;

// Creates the canvas (640 x 360, 8-bit, 3 channels, blue-green-red) and
// fills it with white. It is never released: it lives as long as the
// process.
IplImage* CreateCanvas();

// Shows the canvas in a window with the given title until a key is
// pressed: the window is created and the image shown once; between 1 ms
// key waits the loop sleeps on the window system's descriptors (1 ms after
// an event, doubling to 100 ms while nothing happens), shows the window
// again only if it was closed, and the first key of any kind ends it.
// Without a display, or when the display goes away, it prints one line on
// standard error and exits with kNoDisplayStatus.
void ShowUntilKey(const char* title, IplImage* canvas);
