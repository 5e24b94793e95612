// The low-level work on an IMAGE's DC and pixel buffer that the image itself and the drawing devices
// share: the GDI objects an image owns or holds, pixel fills, DIB creation, the default drawing state and
// the selection of its pen, brush and font.
#pragma once

#include "graphwin/FillStyleCode.h"
#include "graphwin/gravo.h"
#include "win32/UniqueHandles.h"

namespace Gravo
{
// A COLORREF (0x00BBGGRR) as a pixel word (0x00RRGGBB): the lowest and third bytes swap places.
inline DWORD PixelWord(COLORREF colour)
{
    return (colour & 0xFF00FF00u) | ((colour & 0xFFu) << 16) | ((colour >> 16) & 0xFFu);
}

// The GDI objects of one image. The DC goes first when they end: a bitmap or brush still selected into a
// DC cannot be deleted.
struct ImageGdi
{
    UniqueBitmap bitmap;
    UniqueBrush patternBrush; // the brush of a pattern fill style, made for this image alone
    UniqueMemoryDc dc;
    // Selected into dc and kept by the library's GDI object cache (or stock objects).
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
};

struct ImageAccess
{
    static void FillPixels(IMAGE& image, COLORREF colour);
    // Gives the image a new DIB section of this size filled with the background colour, keeping the
    // old picture at the top-left. Takes the drawing lock.
    static void CreateBuffer(IMAGE& image, int width, int height);
    // Takes the drawing lock.
    static void ResetState(IMAGE& image);
    // Rebuilds the image's pen from its line style and line colour.
    static void BuildPen(IMAGE& image);
    // Rebuilds the image's brush from its fill style and fill colour.
    static void BuildBrush(IMAGE& image);
    // The solid fill in the image's fill colour: the DC's own brush.
    static void SelectSolidBrush(IMAGE& image);
    static void SelectFont(IMAGE& image, const LOGFONTW& font);
    // Puts the stock objects back and lets go of the kept ones, before the image's DC is deleted.
    static void DeselectAll(IMAGE& image);
    static ImageGdi& Gdi(IMAGE& image) { return *image.gdi; }
};
} // namespace Gravo
