// IMAGE itself (construction, resizing, copying, destruction) and the low-level work on its DC and pixels
// that the drawing devices share.
#include "graphwin/ImageAccess.h"

#include "graphwin/GdiObjectCache.h"
#include "graphwin/Library.h"

#include <cstring>

namespace Gravo
{
namespace
{
// One header serves every DIB creation; its writers hold the drawing lock.
BITMAPINFOHEADER dibHeader = {sizeof(BITMAPINFOHEADER), 0, 0, 1, 32, BI_RGB, 0, 0, 0, 0, 0};

HBITMAP CreateTopDownDib(int width, int height, DWORD** bits)
{
    dibHeader.biWidth = width;
    dibHeader.biHeight = -height;
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&dibHeader), DIB_RGB_COLORS,
                                      &memory, nullptr, 0);
    *bits = static_cast<DWORD*>(memory);
    return bitmap;
}

std::vector<BYTE> MonochromeRows(const IMAGE& pattern)
{
    const int width = pattern.Width();
    const int height = pattern.Height();
    const int rowBytes = (width + 15) / 16 * 2;
    std::vector<BYTE> bits(static_cast<size_t>(rowBytes) * height, 0);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            if (pattern.Pixels()[y * width + x] == 0)
            {
                bits[y * rowBytes + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
            }
        }
    }
    return bits;
}

// A packed bottom-up 32-bit DIB of the pattern image, as BS_DIBPATTERNPT wants it.
std::vector<BYTE> PackedDib(const IMAGE& pattern)
{
    const int width = pattern.Width();
    const int height = pattern.Height();
    BITMAPINFOHEADER header = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> dib(sizeof header + static_cast<size_t>(width) * height * 4);
    std::memcpy(dib.data(), &header, sizeof header);
    for (int y = 0; y < height; ++y)
    {
        std::memcpy(dib.data() + sizeof header + static_cast<size_t>(height - 1 - y) * width * 4,
                    pattern.Pixels() + static_cast<size_t>(y) * width, static_cast<size_t>(width) * 4);
    }
    return dib;
}

// The brush of a pattern fill style, or null when the style has none.
UniqueBrush MakePatternBrush(const FILLSTYLE& fill)
{
    const IMAGE* pattern = fill.PatternImage();
    if (pattern == nullptr || pattern->Pixels() == nullptr)
    {
        return UniqueBrush();
    }
    if (fill.style == fillMonochromePattern)
    {
        std::vector<BYTE> bits = MonochromeRows(*pattern);
        UniqueBitmap bitmap(CreateBitmap(pattern->Width(), pattern->Height(), 1, 1, bits.data()));
        const LOGBRUSH patterned = {BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bitmap.get())};
        return UniqueBrush(CreateBrushIndirect(&patterned));
    }
    std::vector<BYTE> dib = PackedDib(*pattern);
    const LOGBRUSH patterned = {BS_DIBPATTERNPT, DIB_RGB_COLORS, reinterpret_cast<ULONG_PTR>(dib.data())};
    return UniqueBrush(CreateBrushIndirect(&patterned));
}

GdiObjectCache& Cache()
{
    return *Lib().gdiObjects;
}

// Selects a shared object (kept by the cache, or stock) in place of the one in held.
template <typename Handle> void SelectShared(HDC dc, Handle& held, Handle object)
{
    Cache().Hold(object);
    SelectObject(dc, object);
    Cache().Drop(held);
    held = object;
}

void SelectSharedBrush(ImageGdi& gdi, HBRUSH brush)
{
    SelectShared(gdi.dc.get(), gdi.brush, brush);
    gdi.patternBrush.reset();
}
} // namespace

void ImageAccess::FillPixels(IMAGE& image, COLORREF colour)
{
    if (image.pixels == nullptr)
    {
        return;
    }
    // GDI calls batched on this thread must land before the direct writes, not over them.
    GdiFlush();
    const DWORD word = PixelWord(colour);
    const size_t count = static_cast<size_t>(image.width) * image.height;
    const BYTE low = static_cast<BYTE>(word);
    if (low == static_cast<BYTE>(word >> 8) && low == static_cast<BYTE>(word >> 16))
    {
        std::memset(image.pixels, low, count * sizeof(DWORD));
        return;
    }
    for (size_t i = 0; i < count; ++i)
    {
        image.pixels[i] = word;
    }
}

void ImageAccess::CreateBuffer(IMAGE& image, int width, int height)
{
    ScopedLock lock(Lib().drawingLock);
    DWORD* bits = nullptr;
    UniqueBitmap bitmap(CreateTopDownDib(width, height, &bits));
    const bool hadPicture = image.pixels != nullptr;
    image.pixels = bits;
    const int oldWidth = image.width;
    const int oldHeight = image.height;
    image.width = width;
    image.height = height;
    FillPixels(image, image.backColour);
    ImageGdi& gdi = *image.gdi;
    if (hadPicture)
    {
        UniqueMemoryDc copy(CreateCompatibleDC(nullptr));
        ScopedSelect holding(copy.get(), bitmap.get());
        BitBlt(copy.get(), 0, 0, oldWidth, oldHeight, gdi.dc.get(), 0, 0, SRCCOPY);
    }
    // The first time this replaces the DC's stock bitmap, which the DC keeps.
    SelectObject(gdi.dc.get(), bitmap.get());
    gdi.bitmap = std::move(bitmap);
}

void ImageAccess::ResetState(IMAGE& image)
{
    image.transform = identityTransform;
    image.lineColour = RGB(255, 255, 255);
    image.fillColour = RGB(255, 255, 255);
    image.textColour = RGB(255, 255, 255);
    image.backColour = RGB(0, 0, 0);
    image.lineStyle = LINESTYLE();
    image.fillStyle = FILLSTYLE();

    ScopedLock lock(Lib().drawingLock);
    ImageGdi& gdi = *image.gdi;
    HDC dc = gdi.dc.get();
    SetGraphicsMode(dc, GM_ADVANCED);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, image.backColour);
    // A CreatePen pen one unit wide, not the stock DC pen: the DC pen has no width and stays one pixel wide
    // under a scaling transform, where this one grows.
    SelectShared(dc, gdi.pen, Cache().Pen(PenKey{PS_SOLID, 1, image.lineColour, {}}));
    SelectSolidBrush(image);
    SetTextColor(dc, image.textColour);
    SetWorldTransform(dc, &image.transform);
    SelectClipRgn(dc, nullptr);
    LOGFONTW font = {};
    font.lfHeight = 16;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = NONANTIALIASED_QUALITY;
    wcscpy_s(font.lfFaceName, L"System");
    SelectFont(image, font);
}

void ImageAccess::BuildPen(IMAGE& image)
{
    LINESTYLE& style = image.lineStyle;
    DWORD penStyle = style.style | PS_GEOMETRIC;
    if ((penStyle & PS_STYLE_MASK) == PS_USERSTYLE)
    {
        // A user style without dashes would make ExtCreatePen fail; such a pen draws nothing.
        if (style.PatternCount() == 0)
        {
            penStyle = (penStyle & ~PS_STYLE_MASK) | PS_NULL;
        }
    }
    else
    {
        style.ClearPattern();
    }
    const bool user = (penStyle & PS_STYLE_MASK) == PS_USERSTYLE;
    PenKey key{penStyle, style.thickness, image.lineColour, {}};
    if (user)
    {
        key.dashes.assign(style.Pattern(), style.Pattern() + style.PatternCount());
    }
    ImageGdi& gdi = *image.gdi;
    SelectShared(gdi.dc.get(), gdi.pen, Cache().Pen(key));
}

void ImageAccess::BuildBrush(IMAGE& image)
{
    const FILLSTYLE& fill = image.fillStyle;
    ImageGdi& gdi = *image.gdi;
    switch (fill.style)
    {
    case fillSolid:
        SelectSolidBrush(image);
        break;
    case fillNone:
        SelectSharedBrush(gdi, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
        break;
    case fillHatched:
        SelectSharedBrush(gdi, Cache().HatchBrush(HatchKey{image.fillColour, fill.hatch}));
        break;
    case fillMonochromePattern:
    case fillImagePattern:
        if (UniqueBrush brush = MakePatternBrush(fill))
        {
            SelectObject(gdi.dc.get(), brush.get());
            Cache().Drop(gdi.brush);
            gdi.brush = brush.get();
            gdi.patternBrush = std::move(brush);
        }
        break;
    default:
        break;
    }
}

void ImageAccess::SelectSolidBrush(IMAGE& image)
{
    ImageGdi& gdi = *image.gdi;
    SelectSharedBrush(gdi, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(gdi.dc.get(), image.fillColour);
}

void ImageAccess::SelectFont(IMAGE& image, const LOGFONTW& font)
{
    ImageGdi& gdi = *image.gdi;
    SelectShared(gdi.dc.get(), gdi.font, Cache().Font(font));
}

void ImageAccess::DeselectAll(IMAGE& image)
{
    ImageGdi& gdi = *image.gdi;
    SelectShared(gdi.dc.get(), gdi.pen, static_cast<HPEN>(GetStockObject(WHITE_PEN)));
    SelectSharedBrush(gdi, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectShared(gdi.dc.get(), gdi.font, static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
}
} // namespace Gravo

IMAGE::IMAGE(int width, int height)
    : width(0), height(0), gdi(new Gravo::ImageGdi()), transform(Gravo::identityTransform), lineColour(0),
      fillColour(0), textColour(0), backColour(0), pixels(nullptr)
{
    Gravo::AcquireLibrary();
    {
        Gravo::ScopedLock lock(Gravo::Lib().drawingLock);
        gdi->dc.reset(CreateCompatibleDC(Gravo::Lib().targetWindowDc));
    }
    Gravo::ImageAccess::ResetState(*this);
    if (width != 0 && height != 0)
    {
        Gravo::ImageAccess::CreateBuffer(*this, width, height);
    }
}

IMAGE::IMAGE(const IMAGE& other) : IMAGE(0, 0)
{
    *this = other;
}

IMAGE& IMAGE::operator=(const IMAGE& other)
{
    if (&other == this)
    {
        return *this;
    }
    Resize(other.width, other.height);
    Gravo::ScopedLock lock(Gravo::Lib().drawingLock);
    BitBlt(MemoryDc(), 0, 0, other.width, other.height, other.MemoryDc(), 0, 0, SRCCOPY);
    return *this;
}

IMAGE::~IMAGE()
{
    Gravo::LibraryState& lib = Gravo::Lib();
    {
        Gravo::ScopedLock lock(lib.drawingLock);
        if (lib.target == this)
        {
            // A target that goes away must not stay current.
            lib.target = nullptr;
            lib.targetMemoryDc = nullptr;
            lib.targetWindowDc = nullptr;
            lib.currentDevice = nullptr;
        }
        Gravo::ImageAccess::DeselectAll(*this);
        gdi.reset();
    }
    Gravo::ReleaseLibrary();
}

HDC IMAGE::MemoryDc() const
{
    return gdi->dc.get();
}

void IMAGE::Resize(int newWidth, int newHeight)
{
    if (newWidth == 0 || newHeight == 0)
    {
        return;
    }
    Gravo::ImageAccess::CreateBuffer(*this, newWidth, newHeight);
}
