// The low-level work on an IMAGE's DC and pixel buffer that the image itself and the drawing devices
// share: pixel fills, DIB creation, the default drawing state and the pen and brush builders.
#pragma once

#include "graphwin/gravo.h"

namespace Gravo
{
// A COLORREF (0x00BBGGRR) as a pixel word (0x00RRGGBB): the lowest and third bytes swap places.
inline DWORD PixelWord(COLORREF colour)
{
    return (colour & 0xFF00FF00u) | ((colour & 0xFFu) << 16) | ((colour >> 16) & 0xFFu);
}

struct ImageAccess
{
    static void FillPixels(IMAGE& image, COLORREF colour);
    // Gives the image a new DIB section of this size filled with the background colour, keeping the
    // old picture at the top-left. Takes the drawing lock.
    static void CreateBuffer(IMAGE& image, int width, int height);
    static void ResetState(IMAGE& image);
    // Rebuilds the image's pen from its line style and line colour.
    static void BuildPen(IMAGE& image);
    // Rebuilds the image's brush from its fill style and fill colour.
    static void BuildBrush(IMAGE& image);
};
} // namespace Gravo
