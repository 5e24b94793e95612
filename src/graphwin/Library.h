// Library-wide state of the graphics window library (devices, graph window, current target, locks, the
// GDI objects it keeps) and its reference-counted start and stop. Every IMAGE and every open graph window
// holds one reference.
#pragma once

#include <windows.h>

class IMAGE;

namespace Gravo
{
class DrawOnImg;
class DrawOnWnd;
class GdiObjectCache;
class GdiplusSession;
class GraphWnd;

struct LibraryState
{
    int referenceCount;
    int openReferences; // OpenGraphWindow calls not yet matched by CloseGraphWindow
    DrawOnImg* imageDevice;
    DrawOnWnd* windowDevice;
    DrawOnImg* currentDevice;
    GraphWnd* graphWindow;
    IMAGE* target;
    HDC targetMemoryDc;
    HDC targetWindowDc;
    HWND consoleWindow;
    POINT penPosition;
    // drawingLock serialises GDI work on images, the window DC and the back buffer; queueLock the message
    // ring. Never held together.
    CRITICAL_SECTION drawingLock;
    CRITICAL_SECTION queueLock;
    bool comInitialised;
    GdiplusSession* gdiplus;
    GdiObjectCache* gdiObjects;
};

// Plain data with static storage: nothing here runs a destructor when the process exits, so an exit
// from the window thread never tears the state down under the main thread.
LibraryState& Lib();

void AcquireLibrary();
void ReleaseLibrary();

extern const XFORM identityTransform;

// Holds a critical section for a scope. Re-entrant on the same thread, as critical sections are.
class ScopedLock
{
public:
    explicit ScopedLock(CRITICAL_SECTION& section) : section(section) { EnterCriticalSection(&section); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    ~ScopedLock() { LeaveCriticalSection(&section); }

private:
    CRITICAL_SECTION& section;
};
} // namespace Gravo
