#include "graphwin/ImageAccess.h"

#include "graphwin/GdiOwners.h"
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
    DrawingLock lock;
    DWORD* bits = nullptr;
    HBITMAP bitmap = CreateTopDownDib(width, height, &bits);
    const bool hadPicture = image.pixels != nullptr;
    image.pixels = bits;
    const int oldWidth = image.width;
    const int oldHeight = image.height;
    image.width = width;
    image.height = height;
    FillPixels(image, image.backColour);
    if (hadPicture)
    {
        UniqueMemoryDc copy(CreateCompatibleDC(nullptr));
        ScopedSelect holding(copy.get(), bitmap);
        BitBlt(copy.get(), 0, 0, oldWidth, oldHeight, image.memoryDc, 0, 0, SRCCOPY);
    }
    // The replaced object is the DC's stock bitmap the first time; deleting a stock object does nothing.
    SelectReplacing(image.memoryDc, bitmap);
    image.bitmap = bitmap;
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

    DrawingLock lock;
    HDC dc = image.memoryDc;
    SetGraphicsMode(dc, GM_ADVANCED);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, image.backColour);
    SelectReplacing(dc, CreatePen(PS_SOLID, 1, image.lineColour));
    SelectReplacing(dc, CreateSolidBrush(image.fillColour));
    SetTextColor(dc, image.textColour);
    SetWorldTransform(dc, &image.transform);
    SelectClipRgn(dc, nullptr);
    LOGFONTW font = {};
    font.lfHeight = 16;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = NONANTIALIASED_QUALITY;
    wcscpy_s(font.lfFaceName, L"System");
    SelectReplacing(dc, CreateFontIndirectW(&font));
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
    LOGBRUSH brush = {BS_SOLID, image.lineColour, 0};
    const bool user = (penStyle & PS_STYLE_MASK) == PS_USERSTYLE;
    SelectReplacing(image.memoryDc,
                    ExtCreatePen(penStyle, style.thickness, &brush, user ? style.PatternCount() : 0,
                                 user ? style.Pattern() : nullptr));
}

void ImageAccess::BuildBrush(IMAGE& image)
{
    const FILLSTYLE& fill = image.fillStyle;
    const IMAGE* pattern = fill.PatternImage();
    HBRUSH brush = nullptr;
    switch (fill.style)
    {
    case 0:
    {
        LOGBRUSH solid = {BS_SOLID, image.fillColour, 0};
        brush = CreateBrushIndirect(&solid);
        break;
    }
    case 1:
    {
        LOGBRUSH none = {BS_NULL, 0, 0};
        brush = CreateBrushIndirect(&none);
        break;
    }
    case 2:
    {
        LOGBRUSH hatched = {BS_HATCHED, image.fillColour, static_cast<ULONG_PTR>(fill.hatch)};
        brush = CreateBrushIndirect(&hatched);
        break;
    }
    case 3:
        if (pattern != nullptr && pattern->Pixels() != nullptr)
        {
            std::vector<BYTE> bits = MonochromeRows(*pattern);
            UniqueGdiObject bitmap(CreateBitmap(pattern->Width(), pattern->Height(), 1, 1, bits.data()));
            LOGBRUSH patterned = {BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bitmap.get())};
            brush = CreateBrushIndirect(&patterned);
        }
        break;
    case 5:
        if (pattern != nullptr && pattern->Pixels() != nullptr)
        {
            std::vector<BYTE> dib = PackedDib(*pattern);
            LOGBRUSH patterned = {BS_DIBPATTERNPT, DIB_RGB_COLORS, reinterpret_cast<ULONG_PTR>(dib.data())};
            brush = CreateBrushIndirect(&patterned);
        }
        break;
    default:
        break;
    }
    if (brush != nullptr)
    {
        SelectReplacing(image.memoryDc, brush);
    }
}
} // namespace Gravo

IMAGE::IMAGE(int width, int height)
    : width(0), height(0), bitmap(nullptr), memoryDc(nullptr), transform(Gravo::identityTransform),
      lineColour(0), fillColour(0), textColour(0), backColour(0), pixels(nullptr)
{
    Gravo::AcquireLibrary();
    {
        Gravo::DrawingLock lock;
        memoryDc = CreateCompatibleDC(Gravo::Lib().targetWindowDc);
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
    Gravo::DrawingLock lock;
    BitBlt(memoryDc, 0, 0, other.width, other.height, other.memoryDc, 0, 0, SRCCOPY);
    return *this;
}

IMAGE::~IMAGE()
{
    Gravo::LibraryState& lib = Gravo::Lib();
    {
        Gravo::DrawingLock lock;
        if (lib.target == this)
        {
            // A target that goes away must not stay current.
            lib.target = nullptr;
            lib.targetMemoryDc = nullptr;
            lib.targetWindowDc = nullptr;
            lib.currentDevice = nullptr;
        }
        Gravo::SelectReplacing(memoryDc, GetStockObject(WHITE_PEN));
        Gravo::SelectReplacing(memoryDc, GetStockObject(BLACK_BRUSH));
        Gravo::SelectReplacing(memoryDc, GetStockObject(SYSTEM_FONT));
        // The DC goes first: a bitmap still selected into a DC cannot be deleted.
        DeleteDC(memoryDc);
        if (bitmap != nullptr)
        {
            DeleteObject(bitmap);
        }
    }
    Gravo::ReleaseLibrary();
}

void IMAGE::Resize(int newWidth, int newHeight)
{
    if (newWidth == 0 || newHeight == 0)
    {
        return;
    }
    Gravo::ImageAccess::CreateBuffer(*this, newWidth, newHeight);
}
