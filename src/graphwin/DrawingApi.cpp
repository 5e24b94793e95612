// The drawing free functions of gravo.h, each forwarded to the current device under the drawing lock.
#include "graphwin/DeviceCall.h"

using namespace Gravo;

int TargetWidth()
{
    return OnDevice([](DrawOnImg& d) { return d.TargetWidth(); });
}

int TargetHeight()
{
    return OnDevice([](DrawOnImg& d) { return d.TargetHeight(); });
}

void ResetDefaults()
{
    OnDevice([](DrawOnImg& d) { d.ResetDefaults(); });
}

void ClearTarget()
{
    OnDevice([](DrawOnImg& d) { d.ClearTarget(); });
}

COLORREF LineColour()
{
    return OnDevice([](DrawOnImg& d) { return d.LineColour(); });
}

void SetLineColour(COLORREF colour)
{
    OnDevice([&](DrawOnImg& d) { d.SetLineColour(colour); });
}

COLORREF TextColour()
{
    return OnDevice([](DrawOnImg& d) { return d.TextColour(); });
}

void SetTextColour(COLORREF colour)
{
    OnDevice([&](DrawOnImg& d) { d.SetTextColour(colour); });
}

COLORREF BackColour()
{
    return OnDevice([](DrawOnImg& d) { return d.BackColour(); });
}

void SetBackColour(COLORREF colour)
{
    OnDevice([&](DrawOnImg& d) { d.SetBackColour(colour); });
}

int BackMode()
{
    return OnDevice([](DrawOnImg& d) { return d.BackMode(); });
}

void SetBackMode(int mode)
{
    OnDevice([&](DrawOnImg& d) { d.SetBackMode(mode); });
}

void SetOrigin(int x, int y)
{
    OnDevice([&](DrawOnImg& d) { d.SetOrigin(x, y); });
}

void SetClipRegion(HRGN region)
{
    OnDevice([&](DrawOnImg& d) { d.SetClipRegion(region); });
}

void ClearClipRegion()
{
    OnDevice([](DrawOnImg& d) { d.ClearClipRegion(); });
}

void GetLineStyle(LINESTYLE* style)
{
    OnDevice([&](DrawOnImg& d) { d.GetLineStyle(style); });
}

void SetLineStyle(DWORD style, int thickness, const DWORD* pattern, DWORD count)
{
    OnDevice([&](DrawOnImg& d) { d.SetLineStyle(style, thickness, pattern, count); });
}

void ApplyLineStyle(const LINESTYLE* style)
{
    OnDevice([&](DrawOnImg& d) { d.ApplyLineStyle(style); });
}

void GetFillStyle(FILLSTYLE* style)
{
    OnDevice([&](DrawOnImg& d) { d.GetFillStyle(style); });
}

void SetFillStyle(int style, long hatch, const IMAGE* pattern)
{
    OnDevice([&](DrawOnImg& d) { d.SetFillStyle(style, hatch, pattern); });
}

void SetFillPattern(const BYTE pattern[8])
{
    OnDevice([&](DrawOnImg& d) { d.SetFillPattern(pattern); });
}

void ApplyFillStyle(const FILLSTYLE* style)
{
    OnDevice([&](DrawOnImg& d) { d.ApplyFillStyle(style); });
}

COLORREF FillColour()
{
    return OnDevice([](DrawOnImg& d) { return d.FillColour(); });
}

void SetFillColour(COLORREF colour)
{
    OnDevice([&](DrawOnImg& d) { d.SetFillColour(colour); });
}

void GetAspect(float* xScale, float* yScale)
{
    OnDevice([&](DrawOnImg& d) { d.GetAspect(xScale, yScale); });
}

void SetAspect(float xScale, float yScale)
{
    OnDevice([&](DrawOnImg& d) { d.SetAspect(xScale, yScale); });
}

int RasterOp()
{
    return OnDevice([](DrawOnImg& d) { return d.RasterOp(); });
}

void SetRasterOp(int mode)
{
    OnDevice([&](DrawOnImg& d) { d.SetRasterOp(mode); });
}

int FillRule()
{
    return OnDevice([](DrawOnImg& d) { return d.FillRule(); });
}

void SetFillRule(int mode)
{
    OnDevice([&](DrawOnImg& d) { d.SetFillRule(mode); });
}

COLORREF ReadPixel(int x, int y)
{
    return OnDevice([&](DrawOnImg& d) { return d.ReadPixel(x, y); });
}

void WritePixel(int x, int y, COLORREF colour)
{
    OnDevice([&](DrawOnImg& d) { d.WritePixel(x, y, colour); });
}

void PenMoveTo(int x, int y)
{
    Lib().penPosition = POINT{x, y};
}

void PenLineTo(int x, int y)
{
    const POINT from = Lib().penPosition;
    OnDevice([&](DrawOnImg& d) { d.DrawLine(from.x, from.y, x, y); });
    Lib().penPosition = POINT{x, y};
}

void DrawLine(int x1, int y1, int x2, int y2)
{
    OnDevice([&](DrawOnImg& d) { d.DrawLine(x1, y1, x2, y2); });
}

void RectOutline(int left, int top, int right, int bottom)
{
    OnDevice([&](DrawOnImg& d) { d.RectOutline(left, top, right, bottom); });
}

void RectFilled(int left, int top, int right, int bottom)
{
    OnDevice([&](DrawOnImg& d) { d.RectFilled(left, top, right, bottom); });
}

void RectSolid(int left, int top, int right, int bottom)
{
    OnDevice([&](DrawOnImg& d) { d.RectSolid(left, top, right, bottom); });
}

void RectClear(int left, int top, int right, int bottom)
{
    OnDevice([&](DrawOnImg& d) { d.RectClear(left, top, right, bottom); });
}

void ArcEndPoints(int left, int top, int right, int bottom, double startAngle, double endAngle, int* startX,
                  int* startY, int* endX, int* endY)
{
    // A pure computation: the image device answers even when no target is chosen.
    DrawOnImg().ArcEndPoints(left, top, right, bottom, startAngle, endAngle, startX, startY, endX, endY);
}

void CircleOutline(int x, int y, int radius)
{
    OnDevice([&](DrawOnImg& d) { d.CircleOutline(x, y, radius); });
}

void CircleFilled(int x, int y, int radius)
{
    OnDevice([&](DrawOnImg& d) { d.CircleFilled(x, y, radius); });
}

void CircleSolid(int x, int y, int radius)
{
    OnDevice([&](DrawOnImg& d) { d.CircleSolid(x, y, radius); });
}

void CircleClear(int x, int y, int radius)
{
    OnDevice([&](DrawOnImg& d) { d.CircleClear(x, y, radius); });
}

void EllipseOutline(int left, int top, int right, int bottom)
{
    OnDevice([&](DrawOnImg& d) { d.EllipseOutline(left, top, right, bottom); });
}

void EllipseFilled(int left, int top, int right, int bottom)
{
    OnDevice([&](DrawOnImg& d) { d.EllipseFilled(left, top, right, bottom); });
}

void EllipseSolid(int left, int top, int right, int bottom)
{
    OnDevice([&](DrawOnImg& d) { d.EllipseSolid(left, top, right, bottom); });
}

void EllipseClear(int left, int top, int right, int bottom)
{
    OnDevice([&](DrawOnImg& d) { d.EllipseClear(left, top, right, bottom); });
}

void RoundRectOutline(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    OnDevice([&](DrawOnImg& d) { d.RoundRectOutline(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void RoundRectFilled(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    OnDevice([&](DrawOnImg& d) { d.RoundRectFilled(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void RoundRectSolid(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    OnDevice([&](DrawOnImg& d) { d.RoundRectSolid(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void RoundRectClear(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    OnDevice([&](DrawOnImg& d) { d.RoundRectClear(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void ArcOutline(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    OnDevice([&](DrawOnImg& d) { d.ArcOutline(left, top, right, bottom, startAngle, endAngle); });
}

void PieOutline(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    OnDevice([&](DrawOnImg& d) { d.PieOutline(left, top, right, bottom, startAngle, endAngle); });
}

void PieFilled(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    OnDevice([&](DrawOnImg& d) { d.PieFilled(left, top, right, bottom, startAngle, endAngle); });
}

void PieSolid(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    OnDevice([&](DrawOnImg& d) { d.PieSolid(left, top, right, bottom, startAngle, endAngle); });
}

void PieClear(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    OnDevice([&](DrawOnImg& d) { d.PieClear(left, top, right, bottom, startAngle, endAngle); });
}

void DrawPolyline(const POINT* points, int count)
{
    OnDevice([&](DrawOnImg& d) { d.DrawPolyline(points, count); });
}

void PolygonOutline(const POINT* points, int count)
{
    OnDevice([&](DrawOnImg& d) { d.PolygonOutline(points, count); });
}

void PolygonFilled(const POINT* points, int count)
{
    OnDevice([&](DrawOnImg& d) { d.PolygonFilled(points, count); });
}

void PolygonSolid(const POINT* points, int count)
{
    OnDevice([&](DrawOnImg& d) { d.PolygonSolid(points, count); });
}

void PolygonClear(const POINT* points, int count)
{
    OnDevice([&](DrawOnImg& d) { d.PolygonClear(points, count); });
}

void DrawBezier(const POINT* points, int count)
{
    OnDevice([&](DrawOnImg& d) { d.DrawBezier(points, count); });
}

void FloodFillAt(int x, int y, COLORREF colour, UINT fillType)
{
    OnDevice([&](DrawOnImg& d) { d.FloodFillAt(x, y, colour, fillType); });
}

void TextAt(int x, int y, const wchar_t* text)
{
    OnDevice([&](DrawOnImg& d) { d.TextAt(x, y, text); });
}

int TextInRect(const wchar_t* text, RECT* rect, UINT format)
{
    return OnDevice([&](DrawOnImg& d) { return d.TextInRect(text, rect, format); });
}

int TextWidth(const wchar_t* text)
{
    return OnDevice([&](DrawOnImg& d) { return d.TextWidth(text); });
}

int TextHeight(const wchar_t* text)
{
    return OnDevice([&](DrawOnImg& d) { return d.TextHeight(text); });
}

void SetFont(const LOGFONTW* font)
{
    OnDevice([&](DrawOnImg& d) { d.SetFont(font); });
}

void GetFont(LOGFONTW* font)
{
    OnDevice([&](DrawOnImg& d) { d.GetFont(font); });
}

void SetTextStyle(int height, int width, const wchar_t* face, int escapement, int orientation, int weight,
                  bool italic, bool underline, bool strikeOut, BYTE charSet, BYTE outPrecision,
                  BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily)
{
    OnDevice(
        [&](DrawOnImg& d)
        {
            d.SetTextStyle(height, width, face, escapement, orientation, weight, italic, underline, strikeOut,
                           charSet, outPrecision, clipPrecision, quality, pitchAndFamily);
        });
}

void SetTextStyle(int height, int width, const wchar_t* face, int escapement, int orientation, int weight,
                  bool italic, bool underline, bool strikeOut)
{
    OnDevice(
        [&](DrawOnImg& d) {
            d.SetTextStyle(height, width, face, escapement, orientation, weight, italic, underline,
                           strikeOut);
        });
}

void SetTextStyle(int height, int width, const wchar_t* face)
{
    OnDevice([&](DrawOnImg& d) { d.SetTextStyle(height, width, face); });
}
