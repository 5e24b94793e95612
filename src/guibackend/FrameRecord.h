// The record of a frame's commands that the renderer keeps to draw only what changed: each command's bytes
// (with the LOGFONTW of a text's font), the pixels it may touch and the clip the frame leaves, and the area
// in which two frames differ.
// Needs Nuklear's context (NuklearConfig.h).
#pragma once

#include "guibackend/NuklearConfig.h"

#include <windows.h>

#include <cstddef>
#include <vector>

struct RecordedCommand
{
    nk_command_type type;
    std::size_t offset; // of its bytes in FrameRecord::bytes
    std::size_t size;
    // The pixels it may touch, a rectangle of the target (right and bottom excluded); unknown for text in a
    // turned font and for commands that draw from elsewhere.
    RECT bounds;
    bool boundsKnown;
};

struct FrameRecord
{
    nk_color clearColour{};
    std::vector<unsigned char> bytes;
    std::vector<RecordedCommand> commands;
    // The clip region the frame's last scissor leaves in force for the next frame's first commands, as a
    // rectangle of the target (right and bottom excluded, Nuklear's scissor edges included).
    bool hasScissor = false;
    RECT lastScissor{};
    // False when no frame is recorded, or the frame has a command drawing from memory outside its commands
    // (an image) or outside the back buffer (the multi-colour rectangle): such frames are drawn whole.
    bool comparable = false;
};

// The pixels a scissor lets through: Nuklear's scissor includes its right and bottom edges, a GDI region
// excludes them.
RECT ScissorRect(const nk_command_scissor& scissor);

// Records the context's commands of this frame (nk__begin links them). lineThickness is the thickness of the
// library's line style, which the outlines of filled shapes take.
void RecordFrame(nk_context& context, nk_color clearColour, int lineThickness, FrameRecord& record);

// Where now differs from last: false when the whole target must be drawn (either is not comparable, the
// clear colour changed, last has no scissor to tell the clip now starts with, a differing command has
// unknown bounds, or a differing scissor would clip commands after it that set no scissor of their own);
// else *area is the bounding rectangle of every differing command of either frame, empty when none differs.
// Commands are matched from the front and from the back, so an inserted tooltip differs alone.
bool ChangedArea(const FrameRecord& last, const FrameRecord& now, RECT* area);
