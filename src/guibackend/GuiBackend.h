// The GUI backend's one state: the Nuklear context, the graph window's DC that only the multi-colour
// rectangle draws on, the Control key state the input translation follows, the text measurer and the record
// of the last frame drawn.
// InitGuiBackend starts it and ShutdownGuiBackend ends it; the backend's units reach it through
// TheGuiBackend(). Needs the font record (GuiFont.h).
#pragma once

#include "guibackend/FrameRecord.h"
#include "guibackend/GuiFont.h"
#include "guibackend/NuklearConfig.h"
#include "guibackend/TextMeasurer.h"

#include <windows.h>

struct GuiBackend
{
    nk_context context;
    bool initialised = false;
    HDC windowDC = nullptr;
    // The key records carry no modifiers and the main thread's own key state never sees the keys (the
    // window thread receives them), so the Control state is followed from the Control keys' own records.
    bool controlHeld = false;
    TextMeasurer measurer;
    // RenderGuiIfChanged's record of the last frame in the back buffer (not comparable after RenderGui) and
    // the record it makes of the current frame.
    FrameRecord lastFrame;
    FrameRecord frameRecord;
};

// The backend's state for the process.
GuiBackend& TheGuiBackend();

// Initialises the one GUI context with font as its default font (filling font->description from its
// LOGFONTW), keeps windowDC for the multi-colour rectangle and installs the clipboard callbacks.
// width and height are the window's size. Returns the context; a second call starts a fresh one.
nk_context* InitGuiBackend(GuiFont* font, HDC windowDC, int width, int height);
// Frees the context and the measurer's DC and fonts and forgets the window DC, the Control state and the
// last frame drawn.
// Call it before the default font and the window DC go away.
void ShutdownGuiBackend();
// The context InitGuiBackend initialised (its storage exists before that, uninitialised).
nk_context* GuiContext();
