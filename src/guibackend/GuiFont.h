// The GUI backend's font record and the default GUI font: a Nuklear font description tied to the Win32
// LOGFONTW its text is measured and drawn with, the width callback Nuklear measures every label with, and
// text output through the graphics window library (gravo.h) in its current text style.
#pragma once

#include "guibackend/NuklearConfig.h"

#include <windows.h>

// A font Nuklear lays out with and the renderer draws with. Nuklear only sees `description`, whose
// user handle points back at this record; text in the font is measured and drawn with *logfont.
struct GuiFont
{
    nk_user_font description;
    LOGFONTW* logfont;
};

// Makes the face (UTF-8, at most 31 characters) with the LOGFONTW height and width the graphics
// library's current text style and returns a new record of that style, or null when out of memory.
// The description is filled by InitGuiBackend. Free it with DestroyGuiFont.
GuiFont* CreateGuiFont(const char* faceName, int height, int width);
// Frees a record made by CreateGuiFont (never a PageFont's); null is ignored.
void DestroyGuiFont(GuiFont* font);

// Whether two LOGFONTWs make the same font: every field before the face name, and the face name up to its
// terminator (what follows the terminator is whatever the writer left there).
bool SameLogfont(const LOGFONTW& a, const LOGFONTW& b);

// The LOGFONTW of a Nuklear font description made by the backend (a GuiFont's); null for a null font.
const LOGFONTW* LogfontOfFont(const nk_user_font* font);

// Nuklear's width callback (nk_text_width_f) of every font description: the width in pixels of the
// first byteLength bytes of the UTF-8 text in the GuiFont behind handle.ptr; 0 for a null font or text.
// height is not used. The graphics library's current text style is left as it was.
float GuiTextWidth(nk_handle handle, float height, const char* text, int byteLength);
// Draws a terminated UTF-8 text at (x, y) with the graphics library's current text style and colours;
// null draws nothing.
void DrawGuiText(int x, int y, const char* text);
