// Test helpers for the graph window: opening it quiet, reading back what the window shows, telling stock GDI
// objects, and waiting for a condition with a deadline.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace GravoTest
{
// The client area's pixels as 0x00RRGGBB words, read from the window's DC.
std::vector<DWORD> WindowPixels(HWND window, int width, int height);
DWORD WindowPixel(HWND window, int x, int y);
// Opens the graph window with the pointer kept off it (so the system sends it no mouse moves of its own),
// waits until the system has made it the active and focused window, and drains the queue; null when the
// window did not open.
HWND OpenQuietGraphWindow(int width, int height);
// True for the system's stock objects, which nothing deletes.
bool IsStockObject(HGDIOBJ object);
// Polls condition every 10 ms until it holds (true) or timeoutMs have passed (false).
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 20000);
} // namespace GravoTest
