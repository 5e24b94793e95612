// The image device's drawing state of the current target: colours, modes, transform, clipping, line and
// fill styles and their pen and brush, and the reset to the defaults.
#include "graphwin/DrawOnImg.h"

#include "graphwin/ImageAccess.h"
#include "graphwin/Library.h"
#include "win32/UniqueHandles.h"

namespace Gravo
{
DrawOnImg::~DrawOnImg() = default;

IMAGE& DrawOnImg::Target()
{
    return *Lib().target;
}

HDC DrawOnImg::Dc()
{
    return Lib().targetMemoryDc;
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
    UniqueResource<GdiObjectTraits<HRGN>> region(CreateRectRgn(0, 0, 0, 0));
    if (GetClipRgn(Dc(), region.get()) == 1)
    {
        // The DC's own brush in the background colour; its colour is the fill colour again afterwards.
        const COLORREF fill = SetDCBrushColor(Dc(), Target().backColour);
        SetWorldTransform(Dc(), &identityTransform);
        FillRgn(Dc(), region.get(), static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        SetWorldTransform(Dc(), &Target().transform);
        SetDCBrushColor(Dc(), fill);
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
    if (style == fillHatched)
    {
        own.hatch = hatch;
    }
    if ((style == fillMonochromePattern || style == fillImagePattern) && pattern != nullptr)
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
    SetFillStyle(fillMonochromePattern, 0, &image);
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
    if (Target().fillStyle.style == fillSolid)
    {
        ImageAccess::SelectSolidBrush(Target());
    }
    else if (Target().fillStyle.style == fillHatched)
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

int DrawOnImg::TargetWidth()
{
    return Target().width;
}

int DrawOnImg::TargetHeight()
{
    return Target().height;
}
} // namespace Gravo
