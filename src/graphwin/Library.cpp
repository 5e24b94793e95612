// The library's start and stop, and the one LibraryState.
#include "graphwin/Library.h"

#include "graphwin/DrawOnWnd.h"
#include "graphwin/GdiObjectCache.h"
#include "graphwin/GdiplusSession.h"
#include "graphwin/GraphWnd.h"

#include <objbase.h>

namespace Gravo
{
namespace
{
LibraryState library;

void StartLibrary()
{
    const HRESULT com = CoInitialize(nullptr);
    library.comInitialised = SUCCEEDED(com);
    InitializeCriticalSection(&library.drawingLock);
    InitializeCriticalSection(&library.queueLock);
    library.gdiplus = new GdiplusSession();
    library.gdiObjects = new GdiObjectCache();
    library.target = nullptr;
    library.targetMemoryDc = nullptr;
    library.targetWindowDc = nullptr;
    library.currentDevice = nullptr;
    library.penPosition = POINT{0, 0};
    library.imageDevice = new DrawOnImg();
    library.windowDevice = new DrawOnWnd();
    // Its IMAGE part takes the second reference.
    new GraphWnd();
}

void StopLibrary()
{
    // Closes the window and joins its thread; its IMAGE part releases the last reference.
    delete library.graphWindow;
    library.graphWindow = nullptr;
    delete library.windowDevice;
    library.windowDevice = nullptr;
    delete library.imageDevice;
    library.imageDevice = nullptr;
    library.currentDevice = nullptr;
    library.target = nullptr;
    // Every image is gone by now: nothing holds a kept object selected.
    delete library.gdiObjects;
    library.gdiObjects = nullptr;
    delete library.gdiplus;
    library.gdiplus = nullptr;
    DeleteCriticalSection(&library.queueLock);
    DeleteCriticalSection(&library.drawingLock);
    if (library.comInitialised)
    {
        CoUninitialize();
        library.comInitialised = false;
    }
}
} // namespace

const XFORM identityTransform = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};

LibraryState& Lib()
{
    return library;
}

void AcquireLibrary()
{
    if (library.referenceCount++ == 0)
    {
        StartLibrary();
    }
}

void ReleaseLibrary()
{
    // Only the graph window's own image holds a reference once the count drops to 1.
    if (library.referenceCount-- == 2)
    {
        StopLibrary();
    }
}
} // namespace Gravo
