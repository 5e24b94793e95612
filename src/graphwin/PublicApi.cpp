// The free functions of gravo.h: the graph window, the queue, targets, and every drawing operation
// forwarded to the current device. Without a current device a drawing call does nothing.
#include "graphwin/DrawOnWnd.h"
#include "graphwin/GdiOwners.h"
#include "graphwin/GraphWnd.h"
#include "graphwin/Library.h"

#include <utility>

using Gravo::DrawingLock;
using Gravo::Lib;

namespace
{
template <typename Operation> auto OnDevice(Operation operation)
{
    using Result = decltype(operation(std::declval<Gravo::DrawOnImg&>()));
    Gravo::DrawOnImg* device = Lib().currentDevice;
    if (device == nullptr)
    {
        return Result();
    }
    return operation(*device);
}

// The batch operations need the graph window as the target.
Gravo::DrawOnWnd* WindowDevice()
{
    Gravo::LibraryState& lib = Lib();
    return lib.currentDevice != nullptr && lib.currentDevice == lib.windowDevice ? lib.windowDevice : nullptr;
}
} // namespace

HWND OpenGraphWindow(int width, int height, int flags)
{
    Gravo::AcquireLibrary();
    ++Lib().openReferences;
    return Lib().windowDevice->WindowOpen(width, height, flags);
}

void CloseGraphWindow()
{
    Gravo::LibraryState& lib = Lib();
    if (lib.openReferences == 0)
    {
        return;
    }
    lib.windowDevice->WindowClose();
    --lib.openReferences;
    Gravo::ReleaseLibrary();
}

HWND GraphWindowHandle()
{
    return Lib().graphWindow != nullptr ? Lib().graphWindow->Handle() : nullptr;
}

LRESULT RequestMouseCapture()
{
    HWND window = GraphWindowHandle();
    return window != nullptr ? SendMessageW(window, Gravo::GRAPH_MSG_CAPTURE, 0, 0) : 0;
}

LRESULT RequestMouseRelease()
{
    HWND window = GraphWindowHandle();
    return window != nullptr ? SendMessageW(window, Gravo::GRAPH_MSG_RELEASE, 0, 0) : 0;
}

bool PollGraphMessage(GraphMessage* record, int filter, bool remove)
{
    return Lib().graphWindow != nullptr && Lib().graphWindow->Poll(record, filter, remove);
}

void SelectTarget(IMAGE* image)
{
    Gravo::LibraryState& lib = Lib();
    if (lib.referenceCount == 0)
    {
        return;
    }
    DrawingLock lock;
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
    DrawingLock lock;
    BitBlt(Lib().targetMemoryDc, destX, destY, width, height, source->MemoryDc(), sourceX, sourceY, rasterOp);
}

int TargetWidth()
{
    return OnDevice([](Gravo::DrawOnImg& d) { return d.TargetWidth(); });
}

int TargetHeight()
{
    return OnDevice([](Gravo::DrawOnImg& d) { return d.TargetHeight(); });
}

void ResetDefaults()
{
    OnDevice([](Gravo::DrawOnImg& d) { d.ResetDefaults(); });
}

void ClearTarget()
{
    OnDevice([](Gravo::DrawOnImg& d) { d.ClearTarget(); });
}

COLORREF LineColour()
{
    return OnDevice([](Gravo::DrawOnImg& d) { return d.LineColour(); });
}

void SetLineColour(COLORREF colour)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetLineColour(colour); });
}

COLORREF TextColour()
{
    return OnDevice([](Gravo::DrawOnImg& d) { return d.TextColour(); });
}

void SetTextColour(COLORREF colour)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetTextColour(colour); });
}

COLORREF BackColour()
{
    return OnDevice([](Gravo::DrawOnImg& d) { return d.BackColour(); });
}

void SetBackColour(COLORREF colour)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetBackColour(colour); });
}

int BackMode()
{
    return OnDevice([](Gravo::DrawOnImg& d) { return d.BackMode(); });
}

void SetBackMode(int mode)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetBackMode(mode); });
}

void SetOrigin(int x, int y)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetOrigin(x, y); });
}

void SetClipRegion(HRGN region)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetClipRegion(region); });
}

void ClearClipRegion()
{
    OnDevice([](Gravo::DrawOnImg& d) { d.ClearClipRegion(); });
}

void GetLineStyle(LINESTYLE* style)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.GetLineStyle(style); });
}

void SetLineStyle(DWORD style, int thickness, const DWORD* pattern, DWORD count)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetLineStyle(style, thickness, pattern, count); });
}

void ApplyLineStyle(const LINESTYLE* style)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.ApplyLineStyle(style); });
}

void GetFillStyle(FILLSTYLE* style)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.GetFillStyle(style); });
}

void SetFillStyle(int style, long hatch, const IMAGE* pattern)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetFillStyle(style, hatch, pattern); });
}

void SetFillPattern(const BYTE pattern[8])
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetFillPattern(pattern); });
}

void ApplyFillStyle(const FILLSTYLE* style)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.ApplyFillStyle(style); });
}

COLORREF FillColour()
{
    return OnDevice([](Gravo::DrawOnImg& d) { return d.FillColour(); });
}

void SetFillColour(COLORREF colour)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetFillColour(colour); });
}

void GetAspect(float* xScale, float* yScale)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.GetAspect(xScale, yScale); });
}

void SetAspect(float xScale, float yScale)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetAspect(xScale, yScale); });
}

int RasterOp()
{
    return OnDevice([](Gravo::DrawOnImg& d) { return d.RasterOp(); });
}

void SetRasterOp(int mode)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetRasterOp(mode); });
}

int FillRule()
{
    return OnDevice([](Gravo::DrawOnImg& d) { return d.FillRule(); });
}

void SetFillRule(int mode)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetFillRule(mode); });
}

COLORREF ReadPixel(int x, int y)
{
    return OnDevice([&](Gravo::DrawOnImg& d) { return d.ReadPixel(x, y); });
}

void WritePixel(int x, int y, COLORREF colour)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.WritePixel(x, y, colour); });
}

void PenMoveTo(int x, int y)
{
    Lib().penPosition = POINT{x, y};
}

void PenLineTo(int x, int y)
{
    const POINT from = Lib().penPosition;
    OnDevice([&](Gravo::DrawOnImg& d) { d.DrawLine(from.x, from.y, x, y); });
    Lib().penPosition = POINT{x, y};
}

void DrawLine(int x1, int y1, int x2, int y2)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.DrawLine(x1, y1, x2, y2); });
}

void RectOutline(int left, int top, int right, int bottom)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.RectOutline(left, top, right, bottom); });
}

void RectFilled(int left, int top, int right, int bottom)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.RectFilled(left, top, right, bottom); });
}

void RectSolid(int left, int top, int right, int bottom)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.RectSolid(left, top, right, bottom); });
}

void RectClear(int left, int top, int right, int bottom)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.RectClear(left, top, right, bottom); });
}

void ArcEndPoints(int left, int top, int right, int bottom, double startAngle, double endAngle, int* startX,
                  int* startY, int* endX, int* endY)
{
    // A pure computation: the image device answers even when no target is chosen.
    Gravo::DrawOnImg().ArcEndPoints(left, top, right, bottom, startAngle, endAngle, startX, startY, endX,
                                    endY);
}

void CircleOutline(int x, int y, int radius)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.CircleOutline(x, y, radius); });
}

void CircleFilled(int x, int y, int radius)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.CircleFilled(x, y, radius); });
}

void CircleSolid(int x, int y, int radius)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.CircleSolid(x, y, radius); });
}

void CircleClear(int x, int y, int radius)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.CircleClear(x, y, radius); });
}

void EllipseOutline(int left, int top, int right, int bottom)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.EllipseOutline(left, top, right, bottom); });
}

void EllipseFilled(int left, int top, int right, int bottom)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.EllipseFilled(left, top, right, bottom); });
}

void EllipseSolid(int left, int top, int right, int bottom)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.EllipseSolid(left, top, right, bottom); });
}

void EllipseClear(int left, int top, int right, int bottom)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.EllipseClear(left, top, right, bottom); });
}

void RoundRectOutline(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    OnDevice([&](Gravo::DrawOnImg& d)
             { d.RoundRectOutline(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void RoundRectFilled(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    OnDevice([&](Gravo::DrawOnImg& d)
             { d.RoundRectFilled(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void RoundRectSolid(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    OnDevice([&](Gravo::DrawOnImg& d)
             { d.RoundRectSolid(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void RoundRectClear(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    OnDevice([&](Gravo::DrawOnImg& d)
             { d.RoundRectClear(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void ArcOutline(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.ArcOutline(left, top, right, bottom, startAngle, endAngle); });
}

void PieOutline(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.PieOutline(left, top, right, bottom, startAngle, endAngle); });
}

void PieFilled(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.PieFilled(left, top, right, bottom, startAngle, endAngle); });
}

void PieSolid(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.PieSolid(left, top, right, bottom, startAngle, endAngle); });
}

void PieClear(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.PieClear(left, top, right, bottom, startAngle, endAngle); });
}

void DrawPolyline(const POINT* points, int count)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.DrawPolyline(points, count); });
}

void PolygonOutline(const POINT* points, int count)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.PolygonOutline(points, count); });
}

void PolygonFilled(const POINT* points, int count)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.PolygonFilled(points, count); });
}

void PolygonSolid(const POINT* points, int count)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.PolygonSolid(points, count); });
}

void PolygonClear(const POINT* points, int count)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.PolygonClear(points, count); });
}

void DrawBezier(const POINT* points, int count)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.DrawBezier(points, count); });
}

void FloodFillAt(int x, int y, COLORREF colour, UINT fillType)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.FloodFillAt(x, y, colour, fillType); });
}

void TextAt(int x, int y, const wchar_t* text)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.TextAt(x, y, text); });
}

int TextInRect(const wchar_t* text, RECT* rect, UINT format)
{
    return OnDevice([&](Gravo::DrawOnImg& d) { return d.TextInRect(text, rect, format); });
}

int TextWidth(const wchar_t* text)
{
    return OnDevice([&](Gravo::DrawOnImg& d) { return d.TextWidth(text); });
}

int TextHeight(const wchar_t* text)
{
    return OnDevice([&](Gravo::DrawOnImg& d) { return d.TextHeight(text); });
}

void SetFont(const LOGFONTW* font)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetFont(font); });
}

void GetFont(LOGFONTW* font)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.GetFont(font); });
}

void SetTextStyle(int height, int width, const wchar_t* face, int escapement, int orientation, int weight,
                  bool italic, bool underline, bool strikeOut, BYTE charSet, BYTE outPrecision,
                  BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily)
{
    OnDevice(
        [&](Gravo::DrawOnImg& d)
        {
            d.SetTextStyle(height, width, face, escapement, orientation, weight, italic, underline, strikeOut,
                           charSet, outPrecision, clipPrecision, quality, pitchAndFamily);
        });
}

void SetTextStyle(int height, int width, const wchar_t* face, int escapement, int orientation, int weight,
                  bool italic, bool underline, bool strikeOut)
{
    OnDevice(
        [&](Gravo::DrawOnImg& d) {
            d.SetTextStyle(height, width, face, escapement, orientation, weight, italic, underline,
                           strikeOut);
        });
}

void SetTextStyle(int height, int width, const wchar_t* face)
{
    OnDevice([&](Gravo::DrawOnImg& d) { d.SetTextStyle(height, width, face); });
}

void StartBatch()
{
    if (Gravo::DrawOnWnd* device = WindowDevice())
    {
        device->StartBatch();
    }
}

void PresentBatch()
{
    if (Gravo::DrawOnWnd* device = WindowDevice())
    {
        device->PresentBatch();
    }
}

void PresentBatchRect(int left, int top, int right, int bottom)
{
    if (Gravo::DrawOnWnd* device = WindowDevice())
    {
        device->PresentBatchRect(left, top, right, bottom);
    }
}

void StopBatch()
{
    if (Gravo::DrawOnWnd* device = WindowDevice())
    {
        device->StopBatch();
    }
}

void StopBatchRect(int left, int top, int right, int bottom)
{
    if (Gravo::DrawOnWnd* device = WindowDevice())
    {
        device->StopBatchRect(left, top, right, bottom);
    }
}
