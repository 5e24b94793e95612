// The command renderer of the GUI backend: draws each frame's commands of the backend's context
// (GuiBackend.h) into the graph window's back buffer with the graphics window library (gravo.h).
#pragma once

#include "guibackend/NuklearConfig.h"

#include <windows.h>

// Clears the current target (the graph window's back buffer) with clearColour, which also becomes its
// background colour, draws all commands of the frame and empties the command buffer. Each command
// leaves the library's colours, line style and font as it found them; a scissor stays in force.
// RenderGuiIfChanged's next frame is drawn again.
void RenderGui(nk_color clearColour);
// RenderGui for a frame loop that draws nothing else into the target, drawing only what changed since the
// last frame it drew: a frame whose commands are those of the last, byte for byte with the same fonts and
// clear colour, is not drawn again (the target still holds it); one that differs only in commands of known
// extent (no scissor, no text in a turned font) is drawn only in the rectangle around those commands of
// either frame: that rectangle is cleared and every command reaching into it drawn clipped to it.
// Other frames, and frames with an image or a multi-colour rectangle, are drawn whole. Either way the
// commands are emptied. Returns the rectangle of the target drawn (right and bottom excluded), empty when
// none.
RECT RenderGuiIfChanged(nk_color clearColour);
