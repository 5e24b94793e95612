#include "graphwin/DrawOnImg.h"

#include "graphwin/GdiOwners.h"
#include "graphwin/ImageAccess.h"
#include "graphwin/Library.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace Gravo
{
namespace
{
int RoundHalfAway(double value)
{
    return static_cast<int>(value < 0 ? value - 0.5 : value + 0.5);
}

const int fillNone = 1;
const DWORD penNull = PS_NULL;
} // namespace

DrawOnImg::~DrawOnImg() = default;

IMAGE& DrawOnImg::Target()
{
    return *Lib().target;
}

HDC DrawOnImg::Dc()
{
    return Lib().targetMemoryDc;
}

template <typename Filled> void DrawOnImg::AsOutline(Filled filled)
{
    FILLSTYLE saved;
    GetFillStyle(&saved);
    if (saved.style != fillNone)
    {
        SetFillStyle(fillNone, HS_DIAGCROSS, nullptr);
    }
    filled();
    if (saved.style != fillNone)
    {
        ApplyFillStyle(&saved);
    }
}

template <typename Filled> void DrawOnImg::AsSolid(Filled filled)
{
    LINESTYLE saved;
    GetLineStyle(&saved);
    if (saved.style != penNull)
    {
        SetLineStyle(penNull, 1, nullptr, 0);
    }
    filled();
    if (saved.style != penNull)
    {
        ApplyLineStyle(&saved);
    }
}

template <typename Solid> void DrawOnImg::AsClear(Solid solid)
{
    const int savedOp = RasterOp();
    if (savedOp != R2_COPYPEN)
    {
        SetRasterOp(R2_COPYPEN);
    }
    const COLORREF savedColour = FillColour();
    const COLORREF background = BackColour();
    if (savedColour != background)
    {
        SetFillColour(background);
    }
    FILLSTYLE savedFill;
    GetFillStyle(&savedFill);
    if (savedFill.style != 0)
    {
        SetFillStyle(0, HS_DIAGCROSS, nullptr);
    }
    solid();
    if (savedColour != background)
    {
        SetFillColour(savedColour);
    }
    if (savedFill.style != 0)
    {
        ApplyFillStyle(&savedFill);
    }
    if (savedOp != R2_COPYPEN)
    {
        SetRasterOp(savedOp);
    }
}

void DrawOnImg::ClearTarget()
{
    ImageAccess::FillPixels(Target(), Target().backColour);
}

COLORREF DrawOnImg::LineColour()
{
    return Target().lineColour;
}

void DrawOnImg::SetLineColour(COLORREF colour)
{
    Target().lineColour = colour;
    ApplyLineStyle(&Target().lineStyle);
}

COLORREF DrawOnImg::TextColour()
{
    return Target().textColour;
}

void DrawOnImg::SetTextColour(COLORREF colour)
{
    Target().textColour = colour;
    SetTextColor(Dc(), colour);
}

COLORREF DrawOnImg::BackColour()
{
    return Target().backColour;
}

void DrawOnImg::SetBackColour(COLORREF colour)
{
    Target().backColour = colour;
    SetBkColor(Dc(), colour);
}

int DrawOnImg::BackMode()
{
    return GetBkMode(Dc());
}

void DrawOnImg::SetBackMode(int mode)
{
    SetBkMode(Dc(), mode);
}

void DrawOnImg::SetOrigin(int x, int y)
{
    Target().transform.eDx = static_cast<float>(x);
    Target().transform.eDy = static_cast<float>(y);
    SetWorldTransform(Dc(), &Target().transform);
}

void DrawOnImg::SetClipRegion(HRGN region)
{
    SelectClipRgn(Dc(), region);
}

void DrawOnImg::ClearClipRegion()
{
    UniqueGdiObject region(CreateRectRgn(0, 0, 0, 0));
    if (GetClipRgn(Dc(), static_cast<HRGN>(region.get())) == 1)
    {
        UniqueGdiObject brush(CreateSolidBrush(Target().backColour));
        SetWorldTransform(Dc(), &identityTransform);
        FillRgn(Dc(), static_cast<HRGN>(region.get()), static_cast<HBRUSH>(brush.get()));
        SetWorldTransform(Dc(), &Target().transform);
    }
    else
    {
        ClearTarget();
    }
}

void DrawOnImg::GetLineStyle(LINESTYLE* style)
{
    *style = Target().lineStyle;
}

void DrawOnImg::SetLineStyle(DWORD style, int thickness, const DWORD* pattern, DWORD count)
{
    LINESTYLE& own = Target().lineStyle;
    own.style = style;
    own.thickness = static_cast<DWORD>(thickness);
    own.SetPattern(pattern, count);
    ApplyLineStyle(&own);
}

void DrawOnImg::ApplyLineStyle(const LINESTYLE* style)
{
    if (style != &Target().lineStyle)
    {
        Target().lineStyle = *style;
    }
    ImageAccess::BuildPen(Target());
}

void DrawOnImg::GetFillStyle(FILLSTYLE* style)
{
    *style = Target().fillStyle;
}

void DrawOnImg::SetFillStyle(int style, long hatch, const IMAGE* pattern)
{
    FILLSTYLE& own = Target().fillStyle;
    own.style = style;
    if (style == 2)
    {
        own.hatch = hatch;
    }
    if ((style == 3 || style == 5) && pattern != nullptr)
    {
        own.SetPatternImage(*pattern);
    }
    ApplyFillStyle(&own);
}

void DrawOnImg::SetFillPattern(const BYTE pattern[8])
{
    IMAGE image(8, 8);
    for (int y = 0; y < 8; ++y)
    {
        for (int x = 0; x < 8; ++x)
        {
            image.Pixels()[y * 8 + x] = (pattern[y] >> (7 - x)) & 1 ? 0xFFFFFFu : 0u;
        }
    }
    SetFillStyle(3, 0, &image);
}

void DrawOnImg::ApplyFillStyle(const FILLSTYLE* style)
{
    if (style != &Target().fillStyle)
    {
        Target().fillStyle = *style;
    }
    ImageAccess::BuildBrush(Target());
}

COLORREF DrawOnImg::FillColour()
{
    return Target().fillColour;
}

void DrawOnImg::SetFillColour(COLORREF colour)
{
    Target().fillColour = colour;
    if (Target().fillStyle.style == 0)
    {
        SelectReplacing(Dc(), CreateSolidBrush(colour));
    }
    else if (Target().fillStyle.style == 2)
    {
        ApplyFillStyle(&Target().fillStyle);
    }
}

void DrawOnImg::GetAspect(float* xScale, float* yScale)
{
    *xScale = Target().transform.eM11;
    *yScale = Target().transform.eM22;
}

void DrawOnImg::SetAspect(float xScale, float yScale)
{
    Target().transform.eM11 = xScale;
    Target().transform.eM22 = yScale;
    SetWorldTransform(Dc(), &Target().transform);
}

int DrawOnImg::RasterOp()
{
    return GetROP2(Dc());
}

void DrawOnImg::SetRasterOp(int mode)
{
    SetROP2(Dc(), mode);
}

int DrawOnImg::FillRule()
{
    return GetPolyFillMode(Dc());
}

void DrawOnImg::SetFillRule(int mode)
{
    SetPolyFillMode(Dc(), mode);
}

void DrawOnImg::ResetDefaults()
{
    ImageAccess::ResetState(Target());
}

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
    AsOutline([&] { RectFilled(left, top, right, bottom); });
}

void DrawOnImg::RectFilled(int left, int top, int right, int bottom)
{
    Rectangle(Dc(), left, top, right, bottom);
}

void DrawOnImg::RectSolid(int left, int top, int right, int bottom)
{
    AsSolid(
        [&]
        {
            RectFilled(std::min(left, right), std::min(top, bottom), std::max(left, right) + 1,
                       std::max(top, bottom) + 1);
        });
}

void DrawOnImg::RectClear(int left, int top, int right, int bottom)
{
    AsClear([&] { RectSolid(left, top, right, bottom); });
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
    AsOutline([&] { CircleFilled(x, y, radius); });
}

void DrawOnImg::CircleFilled(int x, int y, int radius)
{
    Ellipse(Dc(), x - radius, y - radius, x + radius, y + radius);
}

void DrawOnImg::CircleSolid(int x, int y, int radius)
{
    AsSolid([&] { CircleFilled(x, y, radius); });
}

void DrawOnImg::CircleClear(int x, int y, int radius)
{
    AsClear([&] { CircleSolid(x, y, radius); });
}

void DrawOnImg::EllipseOutline(int left, int top, int right, int bottom)
{
    AsOutline([&] { EllipseFilled(left, top, right, bottom); });
}

void DrawOnImg::EllipseFilled(int left, int top, int right, int bottom)
{
    Ellipse(Dc(), left, top, right, bottom);
}

void DrawOnImg::EllipseSolid(int left, int top, int right, int bottom)
{
    AsSolid([&] { EllipseFilled(left, top, right, bottom); });
}

void DrawOnImg::EllipseClear(int left, int top, int right, int bottom)
{
    AsClear([&] { EllipseSolid(left, top, right, bottom); });
}

void DrawOnImg::RoundRectOutline(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    AsOutline([&] { RoundRectFilled(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void DrawOnImg::RoundRectFilled(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    RoundRect(Dc(), left, top, right, bottom, cornerWidth, cornerHeight);
}

void DrawOnImg::RoundRectSolid(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    AsSolid([&] { RoundRectFilled(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void DrawOnImg::RoundRectClear(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    AsClear([&] { RoundRectSolid(left, top, right, bottom, cornerWidth, cornerHeight); });
}

void DrawOnImg::ArcOutline(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    int sx, sy, ex, ey;
    ArcEndPoints(left, top, right, bottom, startAngle, endAngle, &sx, &sy, &ex, &ey);
    Arc(Dc(), left, top, right, bottom, sx, sy, ex, ey);
}

void DrawOnImg::PieOutline(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    AsOutline([&] { PieFilled(left, top, right, bottom, startAngle, endAngle); });
}

void DrawOnImg::PieFilled(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    int sx, sy, ex, ey;
    ArcEndPoints(left, top, right, bottom, startAngle, endAngle, &sx, &sy, &ex, &ey);
    Pie(Dc(), left, top, right, bottom, sx, sy, ex, ey);
}

void DrawOnImg::PieSolid(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    AsSolid([&] { PieFilled(left, top, right, bottom, startAngle, endAngle); });
}

void DrawOnImg::PieClear(int left, int top, int right, int bottom, double startAngle, double endAngle)
{
    AsClear([&] { PieSolid(left, top, right, bottom, startAngle, endAngle); });
}

void DrawOnImg::DrawPolyline(const POINT* points, int count)
{
    Polyline(Dc(), points, count);
}

void DrawOnImg::PolygonOutline(const POINT* points, int count)
{
    AsOutline([&] { PolygonFilled(points, count); });
}

void DrawOnImg::PolygonFilled(const POINT* points, int count)
{
    Polygon(Dc(), points, count);
}

void DrawOnImg::PolygonSolid(const POINT* points, int count)
{
    AsSolid([&] { PolygonFilled(points, count); });
}

void DrawOnImg::PolygonClear(const POINT* points, int count)
{
    AsClear([&] { PolygonSolid(points, count); });
}

void DrawOnImg::DrawBezier(const POINT* points, int count)
{
    PolyBezier(Dc(), points, static_cast<DWORD>(count));
}

void DrawOnImg::FloodFillAt(int x, int y, COLORREF colour, UINT fillType)
{
    ExtFloodFill(Dc(), x, y, colour, fillType);
}

void DrawOnImg::TextAt(int x, int y, const wchar_t* text)
{
    TextOutW(Dc(), x, y, text, static_cast<int>(std::wcslen(text)));
}

int DrawOnImg::TextInRect(const wchar_t* text, RECT* rect, UINT format)
{
    return DrawTextW(Dc(), text, -1, rect, format);
}

int DrawOnImg::TextWidth(const wchar_t* text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(Dc(), text, static_cast<int>(std::wcslen(text)), &size);
    return size.cx;
}

int DrawOnImg::TextHeight(const wchar_t* text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(Dc(), text, static_cast<int>(std::wcslen(text)), &size);
    return size.cy;
}

void DrawOnImg::SetFont(const LOGFONTW* font)
{
    SelectReplacing(Dc(), CreateFontIndirectW(font));
}

void DrawOnImg::SetTextStyle(int height, int width, const wchar_t* face, int escapement, int orientation,
                             int weight, bool italic, bool underline, bool strikeOut, BYTE charSet,
                             BYTE outPrecision, BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily)
{
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = italic;
    font.lfUnderline = underline;
    font.lfStrikeOut = strikeOut;
    font.lfCharSet = charSet;
    font.lfOutPrecision = outPrecision;
    font.lfClipPrecision = clipPrecision;
    font.lfQuality = quality;
    font.lfPitchAndFamily = pitchAndFamily;
    if (face != nullptr)
    {
        wcsncpy_s(font.lfFaceName, face, _TRUNCATE);
    }
    SetFont(&font);
}

void DrawOnImg::SetTextStyle(int height, int width, const wchar_t* face, int escapement, int orientation,
                             int weight, bool italic, bool underline, bool strikeOut)
{
    LOGFONTW font;
    GetFont(&font);
    font.lfHeight = height;
    font.lfWidth = width;
    if (face != nullptr)
    {
        wcsncpy_s(font.lfFaceName, face, _TRUNCATE);
    }
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = italic;
    font.lfUnderline = underline;
    font.lfStrikeOut = strikeOut;
    SetFont(&font);
}

void DrawOnImg::SetTextStyle(int height, int width, const wchar_t* face)
{
    LOGFONTW font;
    GetFont(&font);
    font.lfHeight = height;
    font.lfWidth = width;
    if (face != nullptr)
    {
        wcsncpy_s(font.lfFaceName, face, _TRUNCATE);
    }
    SetFont(&font);
}

void DrawOnImg::GetFont(LOGFONTW* font)
{
    GetObjectW(GetCurrentObject(Dc(), OBJ_FONT), sizeof(LOGFONTW), font);
}

int DrawOnImg::TargetWidth()
{
    return Target().width;
}

int DrawOnImg::TargetHeight()
{
    return Target().height;
}
} // namespace Gravo
