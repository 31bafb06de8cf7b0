// The child windows of Quillet's first page, for the baseline that has them (child_windows.cpp).
#pragma once
#include <windows.h>

// Makes them in the window, each with the font.
void addChildWindows(HWND window, HFONT font);
// Draws an owner-drawn button of the window's own; false for any other message.
bool drawChildButton(UINT message, LPARAM lParam);
