// Library-wide state of the graphics window library (devices, graph window, current target, locks) and
// its reference-counted start and stop. Every IMAGE and every open graph window holds one reference.
#pragma once

#include <windows.h>

class IMAGE;

namespace Gravo
{
class DrawOnImg;
class GdiplusSession;
class DrawOnWnd;
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
    CRITICAL_SECTION drawingLock;
    CRITICAL_SECTION queueLock;
    bool comInitialised;
    GdiplusSession* gdiplus;
};

// Plain data with static storage: nothing here runs a destructor when the process exits, so an exit
// from the window thread never tears the state down under the main thread.
LibraryState& Lib();

void AcquireLibrary();
void ReleaseLibrary();

extern const XFORM identityTransform;

// Serialises GDI work on images, the window DC and the back buffer. Re-entrant.
class DrawingLock
{
public:
    DrawingLock() { EnterCriticalSection(&Lib().drawingLock); }
    DrawingLock(const DrawingLock&) = delete;
    DrawingLock& operator=(const DrawingLock&) = delete;
    ~DrawingLock() { LeaveCriticalSection(&Lib().drawingLock); }
};

// Serialises the message ring. Never held together with the drawing lock.
class QueueLock
{
public:
    QueueLock() { EnterCriticalSection(&Lib().queueLock); }
    QueueLock(const QueueLock&) = delete;
    QueueLock& operator=(const QueueLock&) = delete;
    ~QueueLock() { LeaveCriticalSection(&Lib().queueLock); }
};
} // namespace Gravo
