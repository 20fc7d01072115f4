// The window library's Qt window made to fit a small panel: its toolbar
// spells its tools out in words, which makes the window wider than a
// 1024-pixel screen; here it shows them as icons.
#pragma once

// Shows the tools of the toolbar of the window titled title as icons, each
// with its words as its tooltip, drawing an icon for those that have none:
// the window is then as wide as its canvas. Does nothing where the window
// is not a Qt one.
void CompactWindowToolbar(const char* title);
