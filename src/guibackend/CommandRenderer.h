// The command renderer of the GUI backend: draws each frame's commands of the backend's context
// (GuiBackend.h) into the graph window's back buffer with the graphics window library (gravo.h).
#pragma once

#include "guibackend/NuklearConfig.h"

// Clears the current target (the graph window's back buffer) with clearColour, which also becomes its
// background colour, draws all commands of the frame and empties the command buffer. Each command
// leaves the library's colours, line style and font as it found them; a scissor stays in force.
void RenderGui(nk_color clearColour);
