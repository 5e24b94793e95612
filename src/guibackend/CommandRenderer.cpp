// The command renderer: one function per Nuklear command type, each drawing into the current target of
// the graphics library with the frame's pen, which leaves its colours, line style and font as it found them.
#include "guibackend/CommandRenderer.h"
#include "win32/UniqueHandles.h"

#include "graphwin/FillStyleCode.h"
#include "graphwin/gravo.h"
#include "guibackend/FrameRecord.h"
#include "guibackend/GuiBackend.h"

#include <cstddef>
#include <utility>

namespace
{
// Nuklear's alpha is dropped: the renderer draws every colour opaque.
COLORREF ToColour(nk_color colour)
{
    return RGB(colour.r, colour.g, colour.b);
}

// Every change of the library's line colour, line style or fill colour builds a new GDI pen or brush and
// every change of its font a new GDI font. The frame's pen keeps the state it set and changes only what the
// next command needs differently; at the end of the frame it puts back what the library had before.
//
// Filled shapes, triangles and thin curves draw their outline with the caller's line style, as their own
// commands carry no style. Text is drawn on a transparent background, whose colour therefore never shows.
// Where the caller's line style has gaps or its fill style is not solid, the background mode and the text
// colour take part in those shapes, so they are the caller's again for every command but text.
class FramePen
{
public:
    FramePen()
        : savedLine(LineColour()), savedFill(FillColour()), savedText(TextColour()), savedMode(BackMode()),
          line(savedLine), fill(savedFill), text(savedText), mode(savedMode)
    {
        GetLineStyle(&savedStyle);
        GetFont(&savedFont);
        font = savedFont;
        FILLSTYLE fillStyle;
        GetFillStyle(&fillStyle);
        const DWORD kind = savedStyle.style & PS_STYLE_MASK;
        callerBackground = fillStyle.style != Gravo::fillSolid || savedStyle.PatternCount() != 0 ||
                           (kind != PS_SOLID && kind != PS_NULL && kind != PS_INSIDEFRAME);
    }
    ~FramePen()
    {
        SetLineColourOnce(savedLine);
        UseSavedStyle();
        UseFill(savedFill);
        UseText(savedText, savedMode);
        if (!SameLogfont(font, savedFont))
            SetFont(&savedFont);
    }
    FramePen(const FramePen&) = delete;
    FramePen& operator=(const FramePen&) = delete;

    // A stroke of the command's colour, style and thickness.
    void Stroke(COLORREF colour, DWORD style, int thickness)
    {
        NotText();
        SetLineColourOnce(colour);
        if (PlainStyle(style) && savedStyle.thickness == static_cast<DWORD>(thickness))
        {
            UseSavedStyle();
            return;
        }
        if (!styleIsSaved && ownStyle == style && ownThickness == thickness)
            return;
        SetLineStyle(style, thickness, nullptr, 0);
        styleIsSaved = false;
        ownStyle = style;
        ownThickness = thickness;
    }
    // An outline of the command's colour in the caller's line style.
    void Outline(COLORREF colour)
    {
        NotText();
        SetLineColourOnce(colour);
        UseSavedStyle();
    }
    // Fill and outline in the same colour, so a filled shape has no outline of another colour.
    void Fill(COLORREF colour)
    {
        Outline(colour);
        UseFill(colour);
    }
    // The command's font (null: the caller's) and colour on a transparent background.
    void Text(const LOGFONTW* textFont, COLORREF colour)
    {
        const LOGFONTW& wanted = textFont != nullptr ? *textFont : savedFont;
        if (!SameLogfont(wanted, font))
        {
            SetFont(&wanted);
            font = wanted;
        }
        UseText(colour, TRANSPARENT);
    }

private:
    bool PlainStyle(DWORD style) const { return savedStyle.style == style && savedStyle.PatternCount() == 0; }
    void NotText()
    {
        if (callerBackground)
            UseText(savedText, savedMode);
    }
    void SetLineColourOnce(COLORREF colour)
    {
        if (line != colour)
        {
            SetLineColour(colour);
            line = colour;
        }
    }
    void UseSavedStyle()
    {
        if (styleIsSaved)
            return;
        ApplyLineStyle(&savedStyle);
        styleIsSaved = true;
    }
    void UseFill(COLORREF colour)
    {
        if (fill != colour)
        {
            SetFillColour(colour);
            fill = colour;
        }
    }
    void UseText(COLORREF colour, int backMode)
    {
        if (text != colour)
        {
            SetTextColour(colour);
            text = colour;
        }
        if (mode != backMode)
        {
            SetBackMode(backMode);
            mode = backMode;
        }
    }

    LINESTYLE savedStyle;
    LOGFONTW savedFont;
    COLORREF savedLine;
    COLORREF savedFill;
    COLORREF savedText;
    int savedMode;
    bool callerBackground;
    COLORREF line;
    COLORREF fill;
    COLORREF text;
    int mode;
    LOGFONTW font;
    bool styleIsSaved = true;
    DWORD ownStyle = 0;
    int ownThickness = 0;
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

void ClipTo(const RECT& clip)
{
    SetClipRegion(nullptr);
    const UniqueRegion region(CreateRectRgn(clip.left, clip.top, clip.right, clip.bottom));
    if (region)
        SetClipRegion(region.get());
}

// The scissor's pixels; within an area, the part of them inside it.
void DrawScissor(const nk_command_scissor& command, const RECT* area)
{
    RECT clip = ScissorRect(command);
    if (area != nullptr && !IntersectRect(&clip, &clip, area))
        SetRectEmpty(&clip);
    ClipTo(clip);
}

void DrawLineCommand(FramePen& pen, const nk_command_line& command)
{
    pen.Stroke(ToColour(command.color), PS_SOLID, command.line_thickness);
    DrawLine(command.begin.x, command.begin.y, command.end.x, command.end.y);
}

void DrawCurve(FramePen& pen, const nk_command_curve& command)
{
    if (command.line_thickness != 1)
        pen.Stroke(ToColour(command.color), PS_SOLID, command.line_thickness);
    else
        pen.Outline(ToColour(command.color));
    const POINT points[4] = {{command.begin.x, command.begin.y},
                             {command.ctrl[0].x, command.ctrl[0].y},
                             {command.ctrl[1].x, command.ctrl[1].y},
                             {command.end.x, command.end.y}};
    DrawBezier(points, 4);
}

void DrawRect(FramePen& pen, const nk_command_rect& command)
{
    pen.Stroke(ToColour(command.color), PS_SOLID, command.line_thickness);
    const int right = command.x + command.w;
    const int bottom = command.y + command.h;
    if (command.rounding != 0)
        RoundRectOutline(command.x, command.y, right, bottom, command.rounding, command.rounding);
    else
        RectOutline(command.x, command.y, right, bottom);
}

void DrawRectFilled(FramePen& pen, const nk_command_rect_filled& command)
{
    pen.Fill(ToColour(command.color));
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

void DrawCircle(FramePen& pen, const nk_command_circle& command)
{
    pen.Stroke(ToColour(command.color), PS_SOLID, command.line_thickness);
    EllipseOutline(command.x, command.y, command.x + command.w, command.y + command.h);
}

void DrawCircleFilled(FramePen& pen, const nk_command_circle_filled& command)
{
    pen.Fill(ToColour(command.color));
    EllipseFilled(command.x, command.y, command.x + command.w, command.y + command.h);
}

void DrawArc(FramePen& pen, const nk_command_arc& command)
{
    pen.Stroke(ToColour(command.color), PS_GEOMETRIC | PS_ENDCAP_FLAT, command.line_thickness);
    ArcOutline(command.cx - command.r, command.cy - command.r, command.cx + command.r, command.cy + command.r,
               command.a[0], command.a[1]);
}

void DrawArcFilled(FramePen& pen, const nk_command_arc_filled& command)
{
    pen.Fill(ToColour(command.color));
    PieFilled(command.cx - command.r, command.cy - command.r, command.cx + command.r, command.cy + command.r,
              command.a[0], command.a[1]);
}

// The outline is drawn with the current (solid, one pixel) line style, not the command's thickness.
void DrawTriangle(FramePen& pen, const nk_command_triangle& command)
{
    pen.Outline(ToColour(command.color));
    const POINT points[4] = {{command.a.x, command.a.y},
                             {command.b.x, command.b.y},
                             {command.c.x, command.c.y},
                             {command.a.x, command.a.y}};
    PolygonOutline(points, 4);
}

void DrawTriangleFilled(FramePen& pen, const nk_command_triangle_filled& command)
{
    pen.Fill(ToColour(command.color));
    const POINT points[3] = {
        {command.a.x, command.a.y}, {command.b.x, command.b.y}, {command.c.x, command.c.y}};
    PolygonFilled(points, 3);
}

void DrawPolygon(FramePen& pen, const nk_command_polygon& command)
{
    pen.Stroke(ToColour(command.color), PS_SOLID, command.line_thickness);
    const PointList list = FirstPoints(command.points, command.point_count);
    PolygonOutline(list.points, list.count);
}

void DrawPolygonFilled(FramePen& pen, const nk_command_polygon_filled& command)
{
    pen.Fill(ToColour(command.color));
    const PointList list = FirstPoints(command.points, command.point_count);
    PolygonFilled(list.points, list.count);
}

// A polyline is drawn point by point, so it has no point limit.
void DrawPolylineCommand(FramePen& pen, const nk_command_polyline& command)
{
    if (command.point_count == 0)
        return;
    pen.Stroke(ToColour(command.color), PS_SOLID, command.line_thickness);
    const struct nk_vec2i* points = command.points;
    PenMoveTo(points[0].x, points[0].y);
    for (int i = 1; i < command.point_count; ++i)
        PenLineTo(points[i].x, points[i].y);
}

void DrawTextCommand(FramePen& pen, const nk_command_text& command)
{
    pen.Text(LogfontOfFont(command.font), ToColour(command.foreground));
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

void DrawCommand(FramePen& pen, const nk_command* command)
{
    switch (command->type)
    {
    case NK_COMMAND_LINE:
        DrawLineCommand(pen, As<nk_command_line>(command));
        break;
    case NK_COMMAND_CURVE:
        DrawCurve(pen, As<nk_command_curve>(command));
        break;
    case NK_COMMAND_RECT:
        DrawRect(pen, As<nk_command_rect>(command));
        break;
    case NK_COMMAND_RECT_FILLED:
        DrawRectFilled(pen, As<nk_command_rect_filled>(command));
        break;
    case NK_COMMAND_RECT_MULTI_COLOR:
        DrawRectMultiColour(As<nk_command_rect_multi_color>(command));
        break;
    case NK_COMMAND_CIRCLE:
        DrawCircle(pen, As<nk_command_circle>(command));
        break;
    case NK_COMMAND_CIRCLE_FILLED:
        DrawCircleFilled(pen, As<nk_command_circle_filled>(command));
        break;
    case NK_COMMAND_ARC:
        DrawArc(pen, As<nk_command_arc>(command));
        break;
    case NK_COMMAND_ARC_FILLED:
        DrawArcFilled(pen, As<nk_command_arc_filled>(command));
        break;
    case NK_COMMAND_TRIANGLE:
        DrawTriangle(pen, As<nk_command_triangle>(command));
        break;
    case NK_COMMAND_TRIANGLE_FILLED:
        DrawTriangleFilled(pen, As<nk_command_triangle_filled>(command));
        break;
    case NK_COMMAND_POLYGON:
        DrawPolygon(pen, As<nk_command_polygon>(command));
        break;
    case NK_COMMAND_POLYGON_FILLED:
        DrawPolygonFilled(pen, As<nk_command_polygon_filled>(command));
        break;
    case NK_COMMAND_POLYLINE:
        DrawPolylineCommand(pen, As<nk_command_polyline>(command));
        break;
    case NK_COMMAND_TEXT:
        DrawTextCommand(pen, As<nk_command_text>(command));
        break;
    case NK_COMMAND_IMAGE:
        DrawImage(As<nk_command_image>(command));
        break;
    default:
        break;
    }
}

// Draws the frame's commands in order. With a record of them and an area, only there: each scissor is
// narrowed to the area and commands whose pixels lie outside it are skipped; the last scissor is then put in
// force whole, as a whole frame leaves it.
void DrawCommands(GuiBackend& backend, const FrameRecord* record, const RECT* area)
{
    FramePen pen;
    const nk_command_scissor* lastScissor = nullptr;
    std::size_t index = 0;
    for (const nk_command* command = nk__begin(&backend.context); command != nullptr;
         command = nk__next(&backend.context, command), ++index)
    {
        if (command->type == NK_COMMAND_SCISSOR)
        {
            lastScissor = &As<nk_command_scissor>(command);
            DrawScissor(*lastScissor, area);
            continue;
        }
        RECT overlap;
        if (area != nullptr && record->commands[index].boundsKnown &&
            !IntersectRect(&overlap, &record->commands[index].bounds, area))
            continue;
        DrawCommand(pen, command);
    }
    if (area != nullptr && lastScissor != nullptr)
        DrawScissor(*lastScissor, nullptr);
}
} // namespace

void RenderGui(nk_color clearColour)
{
    SetBackColour(ToColour(clearColour));
    ClearTarget();
    GuiBackend& backend = TheGuiBackend();
    backend.lastFrame.comparable = false;
    if (!backend.initialised)
        return;
    DrawCommands(backend, nullptr, nullptr);
    nk_clear(&backend.context);
}

RECT RenderGuiIfChanged(nk_color clearColour)
{
    GuiBackend& backend = TheGuiBackend();
    const RECT whole = {0, 0, TargetWidth(), TargetHeight()};
    if (!backend.initialised)
    {
        RenderGui(clearColour);
        return whole;
    }
    LINESTYLE style;
    GetLineStyle(&style);
    FrameRecord& now = backend.frameRecord;
    RecordFrame(backend.context, clearColour, static_cast<int>(style.thickness), now);
    RECT area;
    const bool inPart = ChangedArea(backend.lastFrame, now, &area);
    if (inPart)
    {
        IntersectRect(&area, &area, &whole);
        if (!IsRectEmpty(&area))
        {
            // The area's clear: the clip region filled with the background colour. The commands before the
            // frame's first scissor are clipped by the last frame's last one, as in a whole frame.
            SetBackColour(ToColour(clearColour));
            ClipTo(area);
            ClearClipRegion();
            RECT clip;
            if (!IntersectRect(&clip, &backend.lastFrame.lastScissor, &area))
                SetRectEmpty(&clip);
            ClipTo(clip);
            DrawCommands(backend, &now, &area);
        }
        nk_clear(&backend.context);
    }
    else
    {
        RenderGui(clearColour);
        area = whole;
    }
    std::swap(backend.lastFrame, now);
    return area;
}
