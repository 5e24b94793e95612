// The command renderer of the GUI backend: owns the one Nuklear context and draws each frame's
// commands into the graph window's back buffer with the graphics window library (gravo.h).
#pragma once

#include "guibackend/GuiFont.h"
#include "guibackend/NuklearConfig.h"

#include <windows.h>

// Initialises the one GUI context with font as its default font (filling font->description from its
// LOGFONTW), keeps windowDC for the multi-colour rectangle and installs the clipboard callbacks.
// width and height are the window's size. Returns the context, which lives until the process ends.
nk_context* InitGuiBackend(GuiFont* font, HDC windowDC, int width, int height);
// The context InitGuiBackend initialised (its storage exists before that, uninitialised).
nk_context* GuiContext();

// Clears the current target (the graph window's back buffer) with clearColour, which also becomes its
// background colour, draws all commands of the frame and empties the command buffer. Each command
// leaves the library's colours, line style and font as it found them; a scissor stays in force.
void RenderGui(nk_color clearColour);
