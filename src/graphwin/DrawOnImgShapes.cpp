// The image device's pixels, lines and shapes. Each closed shape has four members; only the filled one
// calls GDI, the outline, solid and clear members change the state around it and put it back.
#include "graphwin/DrawOnImg.h"

#include "graphwin/FillStyleCode.h"

#include <algorithm>
#include <cmath>

namespace Gravo
{
namespace
{
int RoundHalfAway(double value)
{
    return static_cast<int>(value < 0 ? value - 0.5 : value + 0.5);
}

const DWORD penNull = PS_NULL;

// The outline: the filled member without a brush.
template <typename Filled> void AsOutline(DrawOnImg& device, Filled filled)
{
    FILLSTYLE saved;
    device.GetFillStyle(&saved);
    if (saved.style != fillNone)
    {
        device.SetFillStyle(fillNone, HS_DIAGCROSS, nullptr);
    }
    filled();
    if (saved.style != fillNone)
    {
        device.ApplyFillStyle(&saved);
    }
}

// The solid: the filled member without a pen.
template <typename Filled> void AsSolid(DrawOnImg& device, Filled filled)
{
    LINESTYLE saved;
    device.GetLineStyle(&saved);
    if (saved.style != penNull)
    {
        device.SetLineStyle(penNull, 1, nullptr, 0);
    }
    filled();
    if (saved.style != penNull)
    {
        device.ApplyLineStyle(&saved);
    }
}

// The clear: the solid member in the background colour, copied over what is there.
template <typename Solid> void AsClear(DrawOnImg& device, Solid solid)
{
    const int savedOp = device.RasterOp();
    if (savedOp != R2_COPYPEN)
    {
        device.SetRasterOp(R2_COPYPEN);
    }
    const COLORREF savedColour = device.FillColour();
    const COLORREF background = device.BackColour();
    if (savedColour != background)
    {
        device.SetFillColour(background);
    }
    FILLSTYLE savedFill;
    device.GetFillStyle(&savedFill);
    if (savedFill.style != fillSolid)
    {
        device.SetFillStyle(fillSolid, HS_DIAGCROSS, nullptr);
    }
    solid();
    if (savedColour != background)
    {
        device.SetFillColour(savedColour);
    }
    if (savedFill.style != fillSolid)
    {
        device.ApplyFillStyle(&savedFill);
    }
    if (savedOp != R2_COPYPEN)
    {
        device.SetRasterOp(savedOp);
    }
}
} // namespace

COLORREF DrawOnImg::ReadPixel(int x, int y)
{
    return GetPixel(Dc(), x, y);
}

void DrawOnImg::WritePixel(int x, int y, COLORREF colour)
{
    SetPixelV(Dc(), x, y, colour);
}

void DrawOnImg::DrawLine(int x1, int y1, int x2, int y2)
{
    MoveToEx(Dc(), x1, y1, nullptr);
    LineTo(Dc(), x2, y2);
}

void DrawOnImg::RectOutline(int left, int top, int right, int bottom)
{
    AsOutline(*this, [&] { RectFilled(left, top, right, bottom); });
}

void DrawOnImg::RectFilled(int left, int top, int right, int bottom)
{
    Rectangle(Dc(), left, top, right, bottom);
}

void DrawOnImg::RectSolid(int left, int top, int right, int bottom)
{
    AsSolid(*this,
            [&]
            {
                RectFilled(std::min(left, right), std::min(top, bottom), std::max(left, right) + 1,
                           std::max(top, bottom) + 1);
            });
}

void DrawOnImg::RectClear(int left, int top, int right, int bottom)
{
    AsClear(*this, [&] { RectSolid(left, top, right, bottom); });
}

void DrawOnImg::ArcEndPoints(int left, int top, int right, int bottom, double startAngle, double endAngle,
                             int* startX, int* startY, int* endX, int* endY)
{
    const int x0 = std::min(left, right);
    const int x1 = std::max(left, right);
    const int y0 = std::min(top, bottom);
    const int y1 = std::max(top, bottom);
    const double rx = (x1 - x0) / 2;
    const double ry = (y1 - y0) / 2;
    const double cx = x0 + rx;
    const double cy = y0 + ry;
    // Angles run counter-clockwise on a screen whose y grows downwards.
    auto point = [&](double angle, int* x, int* y)
    {
        if (angle == 0)
        {
            *x = RoundHalfAway(cx + rx);
            *y = RoundHalfAway(cy);
            return;
        }
        *x = RoundHalfAway(cx + rx * std::cos(angle));
        *y = RoundHalfAway(cy - ry * std::sin(angle));
    };
    point(startAngle, startX, startY);
    point(endAngle, endX, endY);
}

void DrawOnImg::CircleOutline(int x, int y, int radius)
{
    AsOutline(*this, [&] { CircleFilled(x, y, radius); });
}

void DrawOnImg::CircleFilled(int x, int y, int radius)
{
    Ellipse(Dc(), x - radius, y - radius, x + radius, y + radius);
}

void DrawOnImg::CircleSolid(int x, int y, int radius)
{
    AsSolid(*this, [&] { CircleFilled(x, y, radius); });
}

void DrawOnImg::CircleClear(int x, int y, int radius)
{
    AsClear(*this, [&] { CircleSolid(x, y, radius); });
}

void DrawOnImg::EllipseOutline(int left, int top, int right, int bottom)
{
    AsOutline(*this, [&] { EllipseFilled(left, top, right, bottom); });
}

void DrawOnImg::EllipseFilled(int left, int top, int right, int bottom)
{
    Ellipse(Dc(), left, top, right, bottom);
}

void DrawOnImg::EllipseSolid(int left, int top, int right, int bottom)
{
    AsSolid(*this, [&] { EllipseFilled(left, top, right, bottom); });
}

void DrawOnImg::EllipseClear(int left, int top, int right, int bottom)
{
    AsClear(*this, [&] { EllipseSolid(left, top, right, bottom); });
}

void DrawOnImg::RoundRectOutline(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    AsOutline(*this, [&] { RoundRectFilled(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void DrawOnImg::RoundRectFilled(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    RoundRect(Dc(), left, top, right, bottom, cornerWidth, cornerHeight);
}

void DrawOnImg::RoundRectSolid(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    AsSolid(*this, [&] { RoundRectFilled(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void DrawOnImg::RoundRectClear(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    AsClear(*this, [&] { RoundRectSolid(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void DrawOnImg::ArcOutline(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    int sx, sy, ex, ey;
    ArcEndPoints(left, top, right, bottom, startAngle, endAngle, &sx, &sy, &ex, &ey);
    Arc(Dc(), left, top, right, bottom, sx, sy, ex, ey);
}

void DrawOnImg::PieOutline(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    AsOutline(*this, [&] { PieFilled(left, top, right, bottom, startAngle, endAngle); });
}

void DrawOnImg::PieFilled(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    int sx, sy, ex, ey;
    ArcEndPoints(left, top, right, bottom, startAngle, endAngle, &sx, &sy, &ex, &ey);
    Pie(Dc(), left, top, right, bottom, sx, sy, ex, ey);
}

void DrawOnImg::PieSolid(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    AsSolid(*this, [&] { PieFilled(left, top, right, bottom, startAngle, endAngle); });
}

void DrawOnImg::PieClear(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    AsClear(*this, [&] { PieSolid(left, top, right, bottom, startAngle, endAngle); });
}

void DrawOnImg::DrawPolyline(const POINT* points, int count)
{
    Polyline(Dc(), points, count);
}

void DrawOnImg::PolygonOutline(const POINT* points, int count)
{
    AsOutline(*this, [&] { PolygonFilled(points, count); });
}

void DrawOnImg::PolygonFilled(const POINT* points, int count)
{
    Polygon(Dc(), points, count);
}

void DrawOnImg::PolygonSolid(const POINT* points, int count)
{
    AsSolid(*this, [&] { PolygonFilled(points, count); });
}

void DrawOnImg::PolygonClear(const POINT* points, int count)
{
    AsClear(*this, [&] { PolygonSolid(points, count); });
}

void DrawOnImg::DrawBezier(const POINT* points, int count)
{
    PolyBezier(Dc(), points, static_cast<DWORD>(count));
}

void DrawOnImg::FloodFillAt(int x, int y, COLORREF colour, UINT fillType)
{
    ExtFloodFill(Dc(), x, y, colour, fillType);
}

} // namespace Gravo
