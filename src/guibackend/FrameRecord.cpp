#include "guibackend/FrameRecord.h"

#include "guibackend/GuiFont.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{
template <typename Command> const Command& As(const nk_command* command)
{
    return *reinterpret_cast<const Command*>(command);
}

// The bytes of a command: its own struct with its points or its terminated string.
std::size_t CommandSize(const nk_command* command)
{
    switch (command->type)
    {
    case NK_COMMAND_SCISSOR:
        return sizeof(nk_command_scissor);
    case NK_COMMAND_LINE:
        return sizeof(nk_command_line);
    case NK_COMMAND_CURVE:
        return sizeof(nk_command_curve);
    case NK_COMMAND_RECT:
        return sizeof(nk_command_rect);
    case NK_COMMAND_RECT_FILLED:
        return sizeof(nk_command_rect_filled);
    case NK_COMMAND_RECT_MULTI_COLOR:
        return sizeof(nk_command_rect_multi_color);
    case NK_COMMAND_CIRCLE:
        return sizeof(nk_command_circle);
    case NK_COMMAND_CIRCLE_FILLED:
        return sizeof(nk_command_circle_filled);
    case NK_COMMAND_ARC:
        return sizeof(nk_command_arc);
    case NK_COMMAND_ARC_FILLED:
        return sizeof(nk_command_arc_filled);
    case NK_COMMAND_TRIANGLE:
        return sizeof(nk_command_triangle);
    case NK_COMMAND_TRIANGLE_FILLED:
        return sizeof(nk_command_triangle_filled);
    case NK_COMMAND_POLYGON:
        return sizeof(nk_command_polygon) +
               As<nk_command_polygon>(command).point_count * sizeof(struct nk_vec2i);
    case NK_COMMAND_POLYGON_FILLED:
        return sizeof(nk_command_polygon_filled) +
               As<nk_command_polygon_filled>(command).point_count * sizeof(struct nk_vec2i);
    case NK_COMMAND_POLYLINE:
        return sizeof(nk_command_polyline) +
               As<nk_command_polyline>(command).point_count * sizeof(struct nk_vec2i);
    case NK_COMMAND_TEXT:
        return offsetof(nk_command_text, string) +
               static_cast<std::size_t>(std::max(As<nk_command_text>(command).length, 0)) + 1;
    case NK_COMMAND_IMAGE:
        return sizeof(nk_command_image);
    default:
        return sizeof(nk_command_custom);
    }
}

} // namespace

RECT ScissorRect(const nk_command_scissor& scissor)
{
    return RECT{scissor.x, scissor.y, scissor.x + scissor.w + 1, scissor.y + scissor.h + 1};
}

namespace
{
// Grows bounds to take in a point and a margin around it.
void Include(RECT& bounds, int x, int y, int margin)
{
    bounds.left = std::min<LONG>(bounds.left, x - margin);
    bounds.top = std::min<LONG>(bounds.top, y - margin);
    bounds.right = std::max<LONG>(bounds.right, x + margin + 1);
    bounds.bottom = std::max<LONG>(bounds.bottom, y + margin + 1);
}

RECT Nothing()
{
    return RECT{LONG(0x7FFFFFFF), LONG(0x7FFFFFFF), -LONG(0x7FFFFFFF), -LONG(0x7FFFFFFF)};
}

RECT Box(int x, int y, int w, int h, int margin)
{
    RECT bounds = Nothing();
    Include(bounds, x, y, margin);
    Include(bounds, x + w, y + h, margin);
    return bounds;
}

RECT Points(const struct nk_vec2i* points, int count, int margin)
{
    RECT bounds = Nothing();
    for (int i = 0; i < count; ++i)
        Include(bounds, points[i].x, points[i].y, margin);
    return bounds;
}

// A text in a font without escapement lies in its command's box, which Nuklear clamped the text to, give
// or take a glyph's overhang: a margin of the font's height on every side holds it.
bool TextBounds(const nk_command_text& text, const LOGFONTW* font, RECT* bounds)
{
    if (font == nullptr || font->lfEscapement != 0 || font->lfOrientation != 0)
        return false;
    const int height = std::max(std::abs(static_cast<int>(font->lfHeight)), static_cast<int>(text.height));
    *bounds = Box(text.x, text.y, text.w, std::max<int>(text.h, height), height + 2);
    return true;
}

// The pixels a command may touch: its coordinates, widened by its thickness (the pens are centred on the
// outline) and for filled shapes by the library's line thickness, which draws their outline.
bool Bounds(const nk_command* command, int lineThickness, RECT* bounds)
{
    const int fill = lineThickness + 2;
    switch (command->type)
    {
    case NK_COMMAND_LINE:
    {
        const auto& line = As<nk_command_line>(command);
        const struct nk_vec2i points[2] = {line.begin, line.end};
        *bounds = Points(points, 2, line.line_thickness + 2);
        return true;
    }
    case NK_COMMAND_CURVE:
    {
        const auto& curve = As<nk_command_curve>(command);
        const struct nk_vec2i points[4] = {curve.begin, curve.ctrl[0], curve.ctrl[1], curve.end};
        *bounds = Points(points, 4, std::max<int>(curve.line_thickness, lineThickness) + 2);
        return true;
    }
    case NK_COMMAND_RECT:
    {
        const auto& rect = As<nk_command_rect>(command);
        *bounds = Box(rect.x, rect.y, rect.w, rect.h, rect.line_thickness + 2);
        return true;
    }
    case NK_COMMAND_RECT_FILLED:
    {
        const auto& rect = As<nk_command_rect_filled>(command);
        *bounds = Box(rect.x, rect.y, rect.w, rect.h, fill);
        return true;
    }
    case NK_COMMAND_CIRCLE:
    {
        const auto& circle = As<nk_command_circle>(command);
        *bounds = Box(circle.x, circle.y, circle.w, circle.h, circle.line_thickness + 2);
        return true;
    }
    case NK_COMMAND_CIRCLE_FILLED:
    {
        const auto& circle = As<nk_command_circle_filled>(command);
        *bounds = Box(circle.x, circle.y, circle.w, circle.h, fill);
        return true;
    }
    case NK_COMMAND_ARC:
    {
        const auto& arc = As<nk_command_arc>(command);
        *bounds = Box(arc.cx - arc.r, arc.cy - arc.r, 2 * arc.r, 2 * arc.r, arc.line_thickness + 2);
        return true;
    }
    case NK_COMMAND_ARC_FILLED:
    {
        const auto& arc = As<nk_command_arc_filled>(command);
        *bounds = Box(arc.cx - arc.r, arc.cy - arc.r, 2 * arc.r, 2 * arc.r, fill);
        return true;
    }
    case NK_COMMAND_TRIANGLE:
    {
        const auto& triangle = As<nk_command_triangle>(command);
        const struct nk_vec2i points[3] = {triangle.a, triangle.b, triangle.c};
        *bounds = Points(points, 3, fill);
        return true;
    }
    case NK_COMMAND_TRIANGLE_FILLED:
    {
        const auto& triangle = As<nk_command_triangle_filled>(command);
        const struct nk_vec2i points[3] = {triangle.a, triangle.b, triangle.c};
        *bounds = Points(points, 3, fill);
        return true;
    }
    case NK_COMMAND_POLYGON:
    {
        const auto& polygon = As<nk_command_polygon>(command);
        *bounds = Points(polygon.points, polygon.point_count, polygon.line_thickness + 2);
        return true;
    }
    case NK_COMMAND_POLYGON_FILLED:
    {
        const auto& polygon = As<nk_command_polygon_filled>(command);
        *bounds = Points(polygon.points, polygon.point_count, fill);
        return true;
    }
    case NK_COMMAND_POLYLINE:
    {
        const auto& polyline = As<nk_command_polyline>(command);
        *bounds = Points(polyline.points, polyline.point_count, polyline.line_thickness + 2);
        return true;
    }
    case NK_COMMAND_TEXT:
    {
        const auto& text = As<nk_command_text>(command);
        return TextBounds(text, LogfontOfFont(text.font), bounds);
    }
    default:
        return false;
    }
}

bool SameCommand(const FrameRecord& a, const RecordedCommand& x, const FrameRecord& b,
                 const RecordedCommand& y)
{
    return x.type == y.type && x.size == y.size &&
           std::memcmp(a.bytes.data() + x.offset, b.bytes.data() + y.offset, x.size) == 0;
}

// Takes a differing command into the area; false when its pixels are not known.
bool Differs(const RecordedCommand& command, RECT& area)
{
    if (!command.boundsKnown)
        return false;
    UnionRect(&area, &area, &command.bounds);
    return true;
}
} // namespace

void RecordFrame(nk_context& context, nk_color clearColour, int lineThickness, FrameRecord& record)
{
    record.clearColour = clearColour;
    record.bytes.clear();
    record.commands.clear();
    record.comparable = true;
    record.hasScissor = false;
    for (const nk_command* command = nk__begin(&context); command != nullptr;
         command = nk__next(&context, command))
    {
        if (command->type == NK_COMMAND_IMAGE || command->type == NK_COMMAND_RECT_MULTI_COLOR)
            record.comparable = false;
        if (command->type == NK_COMMAND_SCISSOR)
        {
            record.hasScissor = true;
            record.lastScissor = ScissorRect(As<nk_command_scissor>(command));
        }
        RecordedCommand recorded{command->type, record.bytes.size(), 0, RECT{}, false};
        // The header's link to the next command changes with every command before it; the rest is the
        // command's own.
        const auto* bytes = reinterpret_cast<const unsigned char*>(command);
        record.bytes.insert(record.bytes.end(), bytes + sizeof(nk_command), bytes + CommandSize(command));
        if (command->type == NK_COMMAND_TEXT)
        {
            const LOGFONTW* font = LogfontOfFont(As<nk_command_text>(command).font);
            const LOGFONTW logfont = font != nullptr ? *font : LOGFONTW{};
            const auto* fontBytes = reinterpret_cast<const unsigned char*>(&logfont);
            record.bytes.insert(record.bytes.end(), fontBytes, fontBytes + sizeof logfont);
        }
        recorded.size = record.bytes.size() - recorded.offset;
        recorded.boundsKnown = Bounds(command, lineThickness, &recorded.bounds);
        record.commands.push_back(recorded);
    }
}

bool ChangedArea(const FrameRecord& last, const FrameRecord& now, RECT* area)
{
    if (!last.comparable || !now.comparable ||
        std::memcmp(&last.clearColour, &now.clearColour, sizeof now.clearColour) != 0)
        return false;
    const std::size_t lastCount = last.commands.size();
    const std::size_t nowCount = now.commands.size();
    std::size_t front = 0;
    while (front < lastCount && front < nowCount &&
           SameCommand(last, last.commands[front], now, now.commands[front]))
        ++front;
    std::size_t back = 0;
    while (back < lastCount - front && back < nowCount - front &&
           SameCommand(last, last.commands[lastCount - 1 - back], now, now.commands[nowCount - 1 - back]))
        ++back;
    // A differing scissor leaves its clip to the commands after it, unless they set their own first.
    const bool scissorsEnd = back == 0 || now.commands[nowCount - back].type == NK_COMMAND_SCISSOR;
    SetRectEmpty(area);
    for (const auto* frame : {&last, &now})
        for (std::size_t i = front; i < frame->commands.size() - back; ++i)
        {
            const RecordedCommand& command = frame->commands[i];
            if (command.type == NK_COMMAND_SCISSOR ? !scissorsEnd : !Differs(command, *area))
                return false;
        }
    return true;
}
