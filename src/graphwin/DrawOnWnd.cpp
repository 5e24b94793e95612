#include "graphwin/DrawOnWnd.h"

#include "graphwin/GraphWnd.h"
#include "graphwin/ImageAccess.h"
#include "graphwin/Library.h"

#include <string>

namespace Gravo
{
namespace
{
template <typename Step> auto Locked(Step step) -> decltype(step())
{
    DrawingLock lock;
    return step();
}

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

void DrawOnWnd::ClearTarget()
{
    Locked([&] { DrawOnImg::ClearTarget(); });
}

void DrawOnWnd::SetTextColour(COLORREF colour)
{
    Locked([&] { DrawOnImg::SetTextColour(colour); });
}

void DrawOnWnd::SetBackColour(COLORREF colour)
{
    Locked([&] { DrawOnImg::SetBackColour(colour); });
}

int DrawOnWnd::BackMode()
{
    return Locked([&] { return DrawOnImg::BackMode(); });
}

void DrawOnWnd::SetBackMode(int mode)
{
    Locked([&] { DrawOnImg::SetBackMode(mode); });
}

void DrawOnWnd::SetOrigin(int x, int y)
{
    Locked([&] { DrawOnImg::SetOrigin(x, y); });
}

void DrawOnWnd::SetClipRegion(HRGN region)
{
    Locked([&] { DrawOnImg::SetClipRegion(region); });
}

void DrawOnWnd::ClearClipRegion()
{
    Locked([&] { DrawOnImg::ClearClipRegion(); });
}

void DrawOnWnd::ApplyLineStyle(const LINESTYLE* style)
{
    Locked([&] { DrawOnImg::ApplyLineStyle(style); });
}

void DrawOnWnd::ApplyFillStyle(const FILLSTYLE* style)
{
    Locked([&] { DrawOnImg::ApplyFillStyle(style); });
}

void DrawOnWnd::SetFillColour(COLORREF colour)
{
    Locked([&] { DrawOnImg::SetFillColour(colour); });
}

void DrawOnWnd::SetAspect(float xScale, float yScale)
{
    Locked([&] { DrawOnImg::SetAspect(xScale, yScale); });
}

int DrawOnWnd::RasterOp()
{
    return Locked([&] { return DrawOnImg::RasterOp(); });
}

void DrawOnWnd::SetRasterOp(int mode)
{
    Locked([&] { DrawOnImg::SetRasterOp(mode); });
}

int DrawOnWnd::FillRule()
{
    return Locked([&] { return DrawOnImg::FillRule(); });
}

void DrawOnWnd::SetFillRule(int mode)
{
    Locked([&] { DrawOnImg::SetFillRule(mode); });
}

COLORREF DrawOnWnd::ReadPixel(int x, int y)
{
    return Locked([&] { return DrawOnImg::ReadPixel(x, y); });
}

void DrawOnWnd::WritePixel(int x, int y, COLORREF colour)
{
    Locked([&] { DrawOnImg::WritePixel(x, y, colour); });
}

void DrawOnWnd::DrawLine(int x1, int y1, int x2, int y2)
{
    Locked([&] { DrawOnImg::DrawLine(x1, y1, x2, y2); });
}

void DrawOnWnd::RectFilled(int left, int top, int right, int bottom)
{
    Locked([&] { DrawOnImg::RectFilled(left, top, right, bottom); });
}

void DrawOnWnd::CircleFilled(int x, int y, int radius)
{
    Locked([&] { DrawOnImg::CircleFilled(x, y, radius); });
}

void DrawOnWnd::EllipseFilled(int left, int top, int right, int bottom)
{
    Locked([&] { DrawOnImg::EllipseFilled(left, top, right, bottom); });
}

void DrawOnWnd::RoundRectFilled(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    Locked([&] { DrawOnImg::RoundRectFilled(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void DrawOnWnd::ArcOutline(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    Locked([&] { DrawOnImg::ArcOutline(left, top, right, bottom, startAngle, endAngle); });
}

void DrawOnWnd::PieFilled(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    Locked([&] { DrawOnImg::PieFilled(left, top, right, bottom, startAngle, endAngle); });
}

void DrawOnWnd::DrawPolyline(const POINT* points, int count)
{
    Locked([&] { DrawOnImg::DrawPolyline(points, count); });
}

void DrawOnWnd::PolygonFilled(const POINT* points, int count)
{
    Locked([&] { DrawOnImg::PolygonFilled(points, count); });
}

void DrawOnWnd::DrawBezier(const POINT* points, int count)
{
    Locked([&] { DrawOnImg::DrawBezier(points, count); });
}

void DrawOnWnd::FloodFillAt(int x, int y, COLORREF colour, UINT fillType)
{
    Locked([&] { DrawOnImg::FloodFillAt(x, y, colour, fillType); });
}

void DrawOnWnd::TextAt(int x, int y, const wchar_t* text)
{
    Locked([&] { DrawOnImg::TextAt(x, y, text); });
}

int DrawOnWnd::TextInRect(const wchar_t* text, RECT* rect, UINT format)
{
    return Locked([&] { return DrawOnImg::TextInRect(text, rect, format); });
}

int DrawOnWnd::TextWidth(const wchar_t* text)
{
    return Locked([&] { return DrawOnImg::TextWidth(text); });
}

int DrawOnWnd::TextHeight(const wchar_t* text)
{
    return Locked([&] { return DrawOnImg::TextHeight(text); });
}

void DrawOnWnd::SetFont(const LOGFONTW* font)
{
    Locked([&] { DrawOnImg::SetFont(font); });
}

void DrawOnWnd::GetFont(LOGFONTW* font)
{
    Locked([&] { DrawOnImg::GetFont(font); });
}

HWND DrawOnWnd::WindowOpen(int width, int height, int flags)
{
    LibraryState& lib = Lib();
    const std::wstring title = ProgramName();
    HWND hwnd = lib.graphWindow->Open(width, height, title.c_str(), flags);
    {
        DrawingLock lock;
        lib.target = lib.graphWindow;
        lib.currentDevice = this;
        lib.targetMemoryDc = lib.graphWindow->MemoryDc();
    }
    ResetDefaults();
    {
        DrawingLock lock;
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
