// Gravo graphics window library: one graph window per process with its own window thread, an input
// queue of GraphMessage records, off-screen IMAGEs and the drawing operations on the current target.
// Self-contained: needs only <windows.h> and the C++ standard library.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

class IMAGE;

namespace Gravo
{
class DrawOnImg;
class GraphWnd;
struct ImageAccess;
} // namespace Gravo

// A pen description: GDI pen style bits (low four bits PS_SOLID to PS_USERSTYLE, higher bits end cap and
// join), thickness in pixels and, for PS_USERSTYLE only, the dash and gap lengths.
class LINESTYLE
{
public:
    LINESTYLE();
    LINESTYLE(const LINESTYLE& other);
    LINESTYLE& operator=(const LINESTYLE& other);
    virtual ~LINESTYLE();

    // Keeps a copy of the lengths when the style is PS_USERSTYLE and a count is given; otherwise none.
    void SetPattern(const DWORD* lengths, DWORD count);
    void ClearPattern();
    const DWORD* Pattern() const { return pattern.empty() ? nullptr : pattern.data(); }
    DWORD PatternCount() const { return static_cast<DWORD>(pattern.size()); }

    DWORD style;
    DWORD thickness;

private:
    std::vector<DWORD> pattern;
};

// A brush description: style 0 solid, 1 none, 2 hatched (GDI hatch style in hatch), 3 monochrome pattern
// and 5 image pattern (both from the pattern image).
class FILLSTYLE
{
public:
    FILLSTYLE();
    FILLSTYLE(const FILLSTYLE& other);
    FILLSTYLE& operator=(const FILLSTYLE& other);
    virtual ~FILLSTYLE();

    const IMAGE* PatternImage() const { return patternImage.get(); }
    // Copies the image into the own pattern image, creating it when missing.
    void SetPatternImage(const IMAGE& image);
    void ClearPatternImage();

    int style;
    long hatch;

private:
    std::unique_ptr<IMAGE> patternImage;
};

// A picture: a 32-bit top-down DIB section in its own memory DC, with its drawing state.
// Pixel words are 0x00RRGGBB, height rows of width words, top row first.
class IMAGE
{
public:
    explicit IMAGE(int width = 0, int height = 0);
    // Copying copies size and pixels, never the drawing state.
    IMAGE(const IMAGE& other);
    IMAGE& operator=(const IMAGE& other);
    virtual ~IMAGE();

    // Keeps the old picture at the top-left; a zero width or height changes nothing.
    virtual void Resize(int width, int height);

    int Width() const { return width; }
    int Height() const { return height; }
    DWORD* Pixels() const { return pixels; }
    HDC MemoryDc() const { return memoryDc; }

private:
    friend class Gravo::DrawOnImg;
    friend class Gravo::GraphWnd;
    friend struct Gravo::ImageAccess;

    int width;
    int height;
    HBITMAP bitmap;
    HDC memoryDc;
    XFORM transform;
    COLORREF lineColour;
    COLORREF fillColour;
    COLORREF textColour;
    COLORREF backColour;
    DWORD* pixels;
    LINESTYLE lineStyle;
    FILLSTYLE fillStyle;
};

// One input record of the graph window; message tells which layout of the union is in use.
struct GraphMouse
{
    unsigned char ctrl : 1;
    unsigned char shift : 1;
    unsigned char leftButton : 1;
    unsigned char middleButton : 1;
    unsigned char rightButton : 1;
    std::int16_t x;
    std::int16_t y;
    std::int16_t wheel;
};

struct GraphKey
{
    unsigned char virtualKey;
    unsigned char scanCode;
    unsigned char extended : 1;
    unsigned char previouslyDown : 1;
};

struct GraphWindowChange
{
    std::uint32_t wParam;
    std::int32_t lParam;
};

struct GraphMessage
{
    std::uint16_t message; // 512-522 mouse, 256/257 key, 258 character, 3/5/6 window
    union
    {
        GraphMouse mouse;
        GraphKey key;
        std::uint16_t character; // UTF-16 code unit
        GraphWindowChange window;
    };
};

// Categories, as bits of the PollGraphMessage filter.
const int CAT_MOUSE = 1;
const int CAT_KEY = 2;
const int CAT_CHAR = 4;
const int CAT_WINDOW = 8;

// Flags of OpenGraphWindow.
const int OPEN_SHOW_CONSOLE = 1;
const int OPEN_NO_CLOSE = 2;
const int OPEN_NO_MINIMIZE = 4;
const int OPEN_DOUBLE_CLICKS = 8;

// The graph window.
HWND OpenGraphWindow(int width, int height, int flags = 0);
void CloseGraphWindow();
HWND GraphWindowHandle();
LRESULT RequestMouseCapture();
LRESULT RequestMouseRelease();

// Takes (or peeks at) the oldest record of a category in filter; never blocks. Records of other
// categories ahead of it are discarded unless the filter holds all four.
bool PollGraphMessage(GraphMessage* record, int filter = 255, bool remove = true);

// Targets: an image, or null for the graph window's back buffer.
void SelectTarget(IMAGE* image = nullptr);
DWORD* TargetPixels(IMAGE* image = nullptr);
void PutImagePart(int destX, int destY, int width, int height, const IMAGE* source, int sourceX, int sourceY,
                  DWORD rasterOp = SRCCOPY);
int TargetWidth();
int TargetHeight();

// Drawing state of the current target.
void ResetDefaults();
void ClearTarget();
COLORREF LineColour();
void SetLineColour(COLORREF colour);
COLORREF TextColour();
void SetTextColour(COLORREF colour);
COLORREF BackColour();
void SetBackColour(COLORREF colour);
int BackMode();
void SetBackMode(int mode);
void SetOrigin(int x, int y);
void SetClipRegion(HRGN region);
void ClearClipRegion();
void GetLineStyle(LINESTYLE* style);
void SetLineStyle(DWORD style, int thickness = 1, const DWORD* pattern = nullptr, DWORD count = 0);
void ApplyLineStyle(const LINESTYLE* style);
void GetFillStyle(FILLSTYLE* style);
void SetFillStyle(int style, long hatch = 0, const IMAGE* pattern = nullptr);
void SetFillPattern(const BYTE pattern[8]);
void ApplyFillStyle(const FILLSTYLE* style);
COLORREF FillColour();
void SetFillColour(COLORREF colour);
void GetAspect(float* xScale, float* yScale);
void SetAspect(float xScale, float yScale);
int RasterOp();
void SetRasterOp(int mode);
int FillRule();
void SetFillRule(int mode);

// Pixels, lines and shapes. Each closed shape has an outline, a filled (outline and interior), a solid
// (interior only) and a clear (interior in the background colour) member.
COLORREF ReadPixel(int x, int y);
void WritePixel(int x, int y, COLORREF colour);
void PenMoveTo(int x, int y);
void PenLineTo(int x, int y);
void DrawLine(int x1, int y1, int x2, int y2);
void RectOutline(int left, int top, int right, int bottom);
void RectFilled(int left, int top, int right, int bottom);
void RectSolid(int left, int top, int right, int bottom);
void RectClear(int left, int top, int right, int bottom);
void ArcEndPoints(int left, int top, int right, int bottom, double startAngle, double endAngle, int* startX,
                  int* startY, int* endX, int* endY);
void CircleOutline(int x, int y, int radius);
void CircleFilled(int x, int y, int radius);
void CircleSolid(int x, int y, int radius);
void CircleClear(int x, int y, int radius);
void EllipseOutline(int left, int top, int right, int bottom);
void EllipseFilled(int left, int top, int right, int bottom);
void EllipseSolid(int left, int top, int right, int bottom);
void EllipseClear(int left, int top, int right, int bottom);
void RoundRectOutline(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
void RoundRectFilled(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
void RoundRectSolid(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
void RoundRectClear(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
void ArcOutline(int left, int top, int right, int bottom, double startAngle, double endAngle);
void PieOutline(int left, int top, int right, int bottom, double startAngle, double endAngle);
void PieFilled(int left, int top, int right, int bottom, double startAngle, double endAngle);
void PieSolid(int left, int top, int right, int bottom, double startAngle, double endAngle);
void PieClear(int left, int top, int right, int bottom, double startAngle, double endAngle);
void DrawPolyline(const POINT* points, int count);
void PolygonOutline(const POINT* points, int count);
void PolygonFilled(const POINT* points, int count);
void PolygonSolid(const POINT* points, int count);
void PolygonClear(const POINT* points, int count);
void DrawBezier(const POINT* points, int count);
void FloodFillAt(int x, int y, COLORREF colour, UINT fillType);

// Text, UTF-16.
void TextAt(int x, int y, const wchar_t* text);
int TextInRect(const wchar_t* text, RECT* rect, UINT format);
int TextWidth(const wchar_t* text);
int TextHeight(const wchar_t* text);
void SetFont(const LOGFONTW* font);
void GetFont(LOGFONTW* font);
void SetTextStyle(int height, int width, const wchar_t* face, int escapement, int orientation, int weight,
                  bool italic, bool underline, bool strikeOut, BYTE charSet, BYTE outPrecision,
                  BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily);
void SetTextStyle(int height, int width, const wchar_t* face, int escapement, int orientation, int weight,
                  bool italic, bool underline, bool strikeOut);
void SetTextStyle(int height, int width, const wchar_t* face);

// Batch drawing on the graph window: while on, only the present operations copy the back buffer.
void StartBatch();
void PresentBatch();
void PresentBatchRect(int left, int top, int right, int bottom);
void StopBatch();
void StopBatchRect(int left, int top, int right, int bottom);
