// The window device's own operations: opening and closing the graph window, batch drawing and presents.
#include "graphwin/DrawOnWnd.h"

#include "graphwin/GraphWnd.h"
#include "graphwin/ImageAccess.h"
#include "graphwin/Library.h"

#include <string>

namespace Gravo
{
namespace
{
std::wstring ProgramName()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos)
    {
        name.erase(dot);
    }
    const size_t slash = name.rfind(L'\\');
    return slash == std::wstring::npos ? name : name.substr(slash + 1);
}
} // namespace

DrawOnWnd::~DrawOnWnd() = default;

HWND DrawOnWnd::WindowOpen(int width, int height, int flags)
{
    LibraryState& lib = Lib();
    const std::wstring title = ProgramName();
    HWND hwnd = lib.graphWindow->Open(width, height, title.c_str(), flags);
    {
        ScopedLock lock(lib.drawingLock);
        lib.target = lib.graphWindow;
        lib.currentDevice = this;
        lib.targetMemoryDc = lib.graphWindow->MemoryDc();
        ResetDefaults();
        ImageAccess::FillPixels(*lib.graphWindow, RGB(0, 0, 0));
    }
    PresentBatch();
    return hwnd;
}

void DrawOnWnd::WindowClose()
{
    Lib().graphWindow->Close();
}

void DrawOnWnd::StartBatch()
{
    Lib().graphWindow->SetBatch(true);
}

void DrawOnWnd::PresentBatchRect(int left, int top, int right, int bottom)
{
    Lib().graphWindow->Present(left, top, right - left + 1, bottom - top + 1);
}

void DrawOnWnd::PresentBatch()
{
    GraphWnd& graph = *Lib().graphWindow;
    graph.Present(0, 0, graph.Width(), graph.Height());
}

void DrawOnWnd::StopBatchRect(int left, int top, int right, int bottom)
{
    PresentBatchRect(left, top, right, bottom);
    Lib().graphWindow->SetBatch(false);
}

void DrawOnWnd::StopBatch()
{
    PresentBatch();
    Lib().graphWindow->SetBatch(false);
}
} // namespace Gravo
