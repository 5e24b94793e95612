// The command renderer: one function per Nuklear command type, each drawing into the current target of
// the graphics library and leaving its colours, line style and font as it found them.
#include "guibackend/CommandRenderer.h"
#include "win32/UniqueHandles.h"

#include "graphwin/gravo.h"
#include "guibackend/GuiBackend.h"

namespace
{
// Nuklear's alpha is dropped: the renderer draws every colour opaque.
COLORREF ToColour(nk_color colour)
{
    return RGB(colour.r, colour.g, colour.b);
}

// Every change of the library's line colour, line style or fill colour builds a new GDI pen or brush and
// every change of its font a new GDI font, so the scopes below change only what differs from the current
// state and put back only what they changed.

// The line colour, and the line style once changed, put back when the scope ends.
class LineScope
{
public:
    explicit LineScope(nk_color colour)
        : savedColour(LineColour()), colourChanged(savedColour != ToColour(colour))
    {
        GetLineStyle(&savedStyle);
        if (colourChanged)
            SetLineColour(ToColour(colour));
    }
    ~LineScope()
    {
        if (colourChanged)
            SetLineColour(savedColour);
        if (styleChanged)
            ApplyLineStyle(&savedStyle);
    }
    LineScope(const LineScope&) = delete;
    LineScope& operator=(const LineScope&) = delete;

    void Style(DWORD style, int thickness)
    {
        if (savedStyle.style == style && savedStyle.thickness == static_cast<DWORD>(thickness) &&
            savedStyle.PatternCount() == 0)
            return;
        SetLineStyle(style, thickness, nullptr, 0);
        styleChanged = true;
    }

private:
    COLORREF savedColour;
    bool colourChanged;
    bool styleChanged = false;
    LINESTYLE savedStyle;
};

// A solid pen of the command's thickness and colour.
class StrokeScope : public LineScope
{
public:
    StrokeScope(nk_color colour, int thickness) : LineScope(colour) { Style(PS_SOLID, thickness); }
};

// Fill and outline in the same colour, so a filled shape has no outline of another colour.
class FillScope
{
public:
    explicit FillScope(nk_color colour)
        : savedFill(FillColour()), savedLine(LineColour()), fillChanged(savedFill != ToColour(colour)),
          lineChanged(savedLine != ToColour(colour))
    {
        if (fillChanged)
            SetFillColour(ToColour(colour));
        if (lineChanged)
            SetLineColour(ToColour(colour));
    }
    ~FillScope()
    {
        if (fillChanged)
            SetFillColour(savedFill);
        if (lineChanged)
            SetLineColour(savedLine);
    }
    FillScope(const FillScope&) = delete;
    FillScope& operator=(const FillScope&) = delete;

private:
    COLORREF savedFill;
    COLORREF savedLine;
    bool fillChanged;
    bool lineChanged;
};

// The command's font and colours on a transparent background; the font is put back first, the
// background mode last. Text in the current font (the default GUI font, most labels) keeps it.
class TextScope
{
public:
    TextScope(const LOGFONTW* font, nk_color background, nk_color foreground)
        : savedText(TextColour()), savedBack(BackColour()), savedMode(BackMode()), savedFont()
    {
        GetFont(&savedFont);
        fontChanged = font != nullptr && !SameLogfont(*font, savedFont);
        if (fontChanged)
            SetFont(font);
        SetBackColour(ToColour(background));
        SetTextColour(ToColour(foreground));
        SetBackMode(TRANSPARENT);
    }
    ~TextScope()
    {
        if (fontChanged)
            SetFont(&savedFont);
        SetTextColour(savedText);
        SetBackColour(savedBack);
        SetBackMode(savedMode);
    }
    TextScope(const TextScope&) = delete;
    TextScope& operator=(const TextScope&) = delete;

private:
    COLORREF savedText;
    COLORREF savedBack;
    int savedMode;
    LOGFONTW savedFont;
    bool fontChanged;
};

// Polygons are drawn from a fixed array on the stack; points beyond it are not drawn.
const int MaxPolygonPoints = 64;

struct PointList
{
    POINT points[MaxPolygonPoints];
    int count;
};

PointList FirstPoints(const struct nk_vec2i* points, int count)
{
    PointList list{};
    list.count = count < MaxPolygonPoints ? count : MaxPolygonPoints;
    for (int i = 0; i < list.count; ++i)
        list.points[i] = POINT{points[i].x, points[i].y};
    return list;
}

void DrawScissor(const nk_command_scissor& command)
{
    // Nuklear's scissor includes its right and bottom edges; a GDI region excludes them.
    SetClipRegion(nullptr);
    const UniqueRegion region(
        CreateRectRgn(command.x, command.y, command.x + command.w + 1, command.y + command.h + 1));
    if (region)
        SetClipRegion(region.get());
}

void DrawLineCommand(const nk_command_line& command)
{
    StrokeScope stroke(command.color, command.line_thickness);
    DrawLine(command.begin.x, command.begin.y, command.end.x, command.end.y);
}

void DrawCurve(const nk_command_curve& command)
{
    LineScope line(command.color);
    if (command.line_thickness != 1)
        line.Style(PS_SOLID, command.line_thickness);
    const POINT points[4] = {{command.begin.x, command.begin.y},
                             {command.ctrl[0].x, command.ctrl[0].y},
                             {command.ctrl[1].x, command.ctrl[1].y},
                             {command.end.x, command.end.y}};
    DrawBezier(points, 4);
}

void DrawRect(const nk_command_rect& command)
{
    StrokeScope stroke(command.color, command.line_thickness);
    const int right = command.x + command.w;
    const int bottom = command.y + command.h;
    if (command.rounding != 0)
        RoundRectOutline(command.x, command.y, right, bottom, command.rounding, command.rounding);
    else
        RectOutline(command.x, command.y, right, bottom);
}

void DrawRectFilled(const nk_command_rect_filled& command)
{
    FillScope fill(command.color);
    const int right = command.x + command.w;
    const int bottom = command.y + command.h;
    if (command.rounding != 0)
        RoundRectFilled(command.x, command.y, right, bottom, command.rounding, command.rounding);
    else
        RectFilled(command.x, command.y, right, bottom);
}

TRIVERTEX Vertex(int x, int y, nk_color colour)
{
    TRIVERTEX vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.Red = static_cast<COLOR16>(colour.r << 8);
    vertex.Green = static_cast<COLOR16>(colour.g << 8);
    vertex.Blue = static_cast<COLOR16>(colour.b << 8);
    vertex.Alpha = 0xFF00;
    return vertex;
}

// Drawn straight on the window's DC, outside the back buffer; no page produces this command.
void DrawRectMultiColour(const nk_command_rect_multi_color& command)
{
    HDC windowDC = TheGuiBackend().windowDC;
    if (windowDC == nullptr)
        return;
    const int right = command.x + command.w;
    const int bottom = command.y + command.h;
    TRIVERTEX vertices[4] = {Vertex(command.x, command.y, command.left),
                             Vertex(right, command.y, command.top), Vertex(command.x, bottom, command.right),
                             Vertex(right, bottom, command.bottom)};
    GRADIENT_TRIANGLE triangles[2] = {{0, 1, 2}, {2, 1, 3}};
    GdiGradientFill(windowDC, vertices, 4, triangles, 2, GRADIENT_FILL_TRIANGLE);
}

void DrawCircle(const nk_command_circle& command)
{
    StrokeScope stroke(command.color, command.line_thickness);
    EllipseOutline(command.x, command.y, command.x + command.w, command.y + command.h);
}

void DrawCircleFilled(const nk_command_circle_filled& command)
{
    FillScope fill(command.color);
    EllipseFilled(command.x, command.y, command.x + command.w, command.y + command.h);
}

void DrawArc(const nk_command_arc& command)
{
    LineScope line(command.color);
    line.Style(PS_GEOMETRIC | PS_ENDCAP_FLAT, command.line_thickness);
    ArcOutline(command.cx - command.r, command.cy - command.r, command.cx + command.r, command.cy + command.r,
               command.a[0], command.a[1]);
}

void DrawArcFilled(const nk_command_arc_filled& command)
{
    FillScope fill(command.color);
    PieFilled(command.cx - command.r, command.cy - command.r, command.cx + command.r, command.cy + command.r,
              command.a[0], command.a[1]);
}

// The outline is drawn with the current (solid, one pixel) line style, not the command's thickness.
void DrawTriangle(const nk_command_triangle& command)
{
    LineScope line(command.color);
    const POINT points[4] = {{command.a.x, command.a.y},
                             {command.b.x, command.b.y},
                             {command.c.x, command.c.y},
                             {command.a.x, command.a.y}};
    PolygonOutline(points, 4);
}

void DrawTriangleFilled(const nk_command_triangle_filled& command)
{
    FillScope fill(command.color);
    const POINT points[3] = {
        {command.a.x, command.a.y}, {command.b.x, command.b.y}, {command.c.x, command.c.y}};
    PolygonFilled(points, 3);
}

void DrawPolygon(const nk_command_polygon& command)
{
    StrokeScope stroke(command.color, command.line_thickness);
    const PointList list = FirstPoints(command.points, command.point_count);
    PolygonOutline(list.points, list.count);
}

void DrawPolygonFilled(const nk_command_polygon_filled& command)
{
    FillScope fill(command.color);
    const PointList list = FirstPoints(command.points, command.point_count);
    PolygonFilled(list.points, list.count);
}

// A polyline is drawn point by point, so it has no point limit.
void DrawPolylineCommand(const nk_command_polyline& command)
{
    if (command.point_count == 0)
        return;
    StrokeScope stroke(command.color, command.line_thickness);
    const struct nk_vec2i* points = command.points;
    PenMoveTo(points[0].x, points[0].y);
    for (int i = 1; i < command.point_count; ++i)
        PenLineTo(points[i].x, points[i].y);
}

const LOGFONTW* LogfontOf(const nk_user_font* font)
{
    const auto* guiFont = font != nullptr ? static_cast<const GuiFont*>(font->userdata.ptr) : nullptr;
    return guiFont != nullptr ? guiFont->logfont : nullptr;
}

void DrawTextCommand(const nk_command_text& command)
{
    TextScope text(LogfontOf(command.font), command.background, command.foreground);
    DrawGuiText(command.x, command.y, command.string);
}

void DrawImage(const nk_command_image& command)
{
    const auto* image = static_cast<const IMAGE*>(command.img.handle.ptr);
    if (image != nullptr)
        PutImagePart(command.x, command.y, command.w, command.h, image, 0, 0, SRCCOPY);
}

template <typename Command> const Command& As(const nk_command* command)
{
    return *reinterpret_cast<const Command*>(command);
}

void DrawCommand(const nk_command* command)
{
    switch (command->type)
    {
    case NK_COMMAND_SCISSOR:
        DrawScissor(As<nk_command_scissor>(command));
        break;
    case NK_COMMAND_LINE:
        DrawLineCommand(As<nk_command_line>(command));
        break;
    case NK_COMMAND_CURVE:
        DrawCurve(As<nk_command_curve>(command));
        break;
    case NK_COMMAND_RECT:
        DrawRect(As<nk_command_rect>(command));
        break;
    case NK_COMMAND_RECT_FILLED:
        DrawRectFilled(As<nk_command_rect_filled>(command));
        break;
    case NK_COMMAND_RECT_MULTI_COLOR:
        DrawRectMultiColour(As<nk_command_rect_multi_color>(command));
        break;
    case NK_COMMAND_CIRCLE:
        DrawCircle(As<nk_command_circle>(command));
        break;
    case NK_COMMAND_CIRCLE_FILLED:
        DrawCircleFilled(As<nk_command_circle_filled>(command));
        break;
    case NK_COMMAND_ARC:
        DrawArc(As<nk_command_arc>(command));
        break;
    case NK_COMMAND_ARC_FILLED:
        DrawArcFilled(As<nk_command_arc_filled>(command));
        break;
    case NK_COMMAND_TRIANGLE:
        DrawTriangle(As<nk_command_triangle>(command));
        break;
    case NK_COMMAND_TRIANGLE_FILLED:
        DrawTriangleFilled(As<nk_command_triangle_filled>(command));
        break;
    case NK_COMMAND_POLYGON:
        DrawPolygon(As<nk_command_polygon>(command));
        break;
    case NK_COMMAND_POLYGON_FILLED:
        DrawPolygonFilled(As<nk_command_polygon_filled>(command));
        break;
    case NK_COMMAND_POLYLINE:
        DrawPolylineCommand(As<nk_command_polyline>(command));
        break;
    case NK_COMMAND_TEXT:
        DrawTextCommand(As<nk_command_text>(command));
        break;
    case NK_COMMAND_IMAGE:
        DrawImage(As<nk_command_image>(command));
        break;
    default:
        break;
    }
}
} // namespace

void RenderGui(nk_color clearColour)
{
    SetBackColour(ToColour(clearColour));
    ClearTarget();
    GuiBackend& backend = TheGuiBackend();
    if (!backend.initialised)
        return;
    for (const nk_command* command = nk__begin(&backend.context); command != nullptr;
         command = nk__next(&backend.context, command))
        DrawCommand(command);
    nk_clear(&backend.context);
}
