// The free functions of gravo.h for the graph window, its queue, the targets and batch drawing.
#include "graphwin/DeviceCall.h"
#include "graphwin/GraphWnd.h"

using namespace Gravo;

HWND OpenGraphWindow(int width, int height, int flags)
{
    AcquireLibrary();
    ++Lib().openReferences;
    return Lib().windowDevice->WindowOpen(width, height, flags);
}

void CloseGraphWindow()
{
    LibraryState& lib = Lib();
    if (lib.openReferences == 0)
    {
        return;
    }
    lib.windowDevice->WindowClose();
    --lib.openReferences;
    ReleaseLibrary();
}

HWND GraphWindowHandle()
{
    return Lib().graphWindow != nullptr ? Lib().graphWindow->Handle() : nullptr;
}

LRESULT RequestMouseCapture()
{
    HWND window = GraphWindowHandle();
    return window != nullptr ? SendMessageW(window, GRAPH_MSG_CAPTURE, 0, 0) : 0;
}

LRESULT RequestMouseRelease()
{
    HWND window = GraphWindowHandle();
    return window != nullptr ? SendMessageW(window, GRAPH_MSG_RELEASE, 0, 0) : 0;
}

bool PollGraphMessage(GraphMessage* record, int filter, bool remove)
{
    return Lib().graphWindow != nullptr && Lib().graphWindow->Poll(record, filter, remove);
}

void SelectTarget(IMAGE* image)
{
    LibraryState& lib = Lib();
    if (lib.referenceCount == 0)
    {
        return;
    }
    ScopedLock lock(Lib().drawingLock);
    if (image != nullptr)
    {
        lib.target = image;
        lib.currentDevice = lib.imageDevice;
        lib.targetWindowDc = nullptr;
        lib.targetMemoryDc = image->MemoryDc();
    }
    else if (lib.graphWindow != nullptr && lib.graphWindow->Handle() != nullptr)
    {
        lib.target = lib.graphWindow;
        lib.currentDevice = lib.windowDevice;
        lib.targetWindowDc = lib.graphWindow->WindowDc();
        lib.targetMemoryDc = lib.graphWindow->MemoryDc();
    }
    else
    {
        lib.target = nullptr;
        lib.currentDevice = nullptr;
        lib.targetWindowDc = nullptr;
        lib.targetMemoryDc = nullptr;
    }
}

DWORD* TargetPixels(IMAGE* image)
{
    // Direct pixel access must see every GDI call batched so far.
    GdiFlush();
    if (image != nullptr)
    {
        return image->Pixels();
    }
    return Lib().graphWindow != nullptr ? Lib().graphWindow->Pixels() : nullptr;
}

void PutImagePart(int destX, int destY, int width, int height, const IMAGE* source, int sourceX, int sourceY,
                  DWORD rasterOp)
{
    if (source == nullptr || Lib().referenceCount == 0)
    {
        return;
    }
    ScopedLock lock(Lib().drawingLock);
    BitBlt(Lib().targetMemoryDc, destX, destY, width, height, source->MemoryDc(), sourceX, sourceY, rasterOp);
}

void StartBatch()
{
    OnWindowDevice([](DrawOnWnd& d) { d.StartBatch(); });
}

void PresentBatch()
{
    OnWindowDevice([](DrawOnWnd& d) { d.PresentBatch(); });
}

void PresentBatchRect(int left, int top, int right, int bottom)
{
    OnWindowDevice([&](DrawOnWnd& d) { d.PresentBatchRect(left, top, right, bottom); });
}

void StopBatch()
{
    OnWindowDevice([](DrawOnWnd& d) { d.StopBatch(); });
}

void StopBatchRect(int left, int top, int right, int bottom)
{
    OnWindowDevice([&](DrawOnWnd& d) { d.StopBatchRect(left, top, right, bottom); });
}

bool TakePresentRequest()
{
    return Lib().graphWindow != nullptr && Lib().graphWindow->TakePresentRequest();
}
