// Fonts, text and clipboard of the GUI backend: the font record that ties a Nuklear font description
// to a Win32 LOGFONTW, the pages' private fonts, text measurement and drawing through the graphics
// window library, UTF-8/UTF-16 conversion and Nuklear's clipboard callbacks.
#pragma once

#include "guibackend/NuklearConfig.h"

#include <windows.h>

#include <string>

// A font Nuklear lays out with and the renderer draws with. Nuklear only sees `description`, whose
// user handle points back at this record; text in the font is measured and drawn with *logfont.
struct GuiFont
{
    nk_user_font description;
    LOGFONTW* logfont;
};

// A page's own font (bigger, bolder or turned text), stored in the page object and filled by
// MakePageFont in every frame that uses it. `font.logfont` points at `logfont` and
// `description.userdata` at `font`, so MakePageFont must be called again after the object moved.
// Zero-filled is a valid, empty state.
struct PageFont
{
    LOGFONTW logfont;
    GuiFont font;
    nk_user_font description;
};

// Makes the face (UTF-8, at most 31 characters) with the LOGFONTW height and width the graphics
// library's current text style and returns a new record of that style, or null when out of memory.
// The description is filled by InitGuiBackend. Free it with DestroyGuiFont.
GuiFont* CreateGuiFont(const char* faceName, int height, int width);
// Frees a record made by CreateGuiFont (never a PageFont's); null is ignored.
void DestroyGuiFont(GuiFont* font);

// Nuklear's width callback (nk_text_width_f) of every font description: the width in pixels of the
// first byteLength bytes of the UTF-8 text in the GuiFont behind handle.ptr; 0 for a null font or text.
// height is not used. The graphics library's current text style is left as it was.
float GuiTextWidth(nk_handle handle, float height, const char* text, int byteLength);
// Draws a terminated UTF-8 text at (x, y) with the graphics library's current text style and colours;
// null draws nothing.
void DrawGuiText(int x, int y, const char* text);

// Fills pageFont with a "Segoe UI" LOGFONTW of the given height, weight, escapement and orientation and
// returns its description: Nuklear lays it out with defaultFont's height and width callback (usually the
// context's style.font), while its width is measured and its text drawn with the page font itself.
const nk_user_font* MakePageFont(PageFont* pageFont, const nk_user_font* defaultFont, int height, int weight,
                                 int escapement, int orientation);
// One label in the next layout slot of the current window, moved by offset, drawn in font and colour
// with Nuklear's alignment flags (NK_TEXT_LEFT, NK_TEXT_CENTERED, ...). Nothing happens without a
// current window and layout, or for a null text or font.
void DrawFontLabel(nk_context* context, const char* text, nk_flags alignment, const nk_user_font* font,
                   struct nk_vec2 offset, nk_color colour);

// UTF-8 to UTF-16: byteLength -1 converts up to the terminator. A null text gives an empty string.
std::wstring Utf8ToWide(const char* text, int byteLength = -1);
// UTF-16 to UTF-8, the result owned by the caller (pass .c_str() to Nuklear). A null text gives "".
std::string WideToUtf8(const wchar_t* wideText);
std::string WideToUtf8(const std::wstring& wideText);

// Nuklear's clipboard callbacks (nk_plugin_paste, nk_plugin_copy), installed by InitGuiBackend: the
// clipboard's Unicode text is pasted into the text edit; a copy puts byteLength bytes of UTF-8 text on it.
void ClipboardPaste(nk_handle handle, nk_text_edit* textEdit);
void ClipboardCopy(nk_handle handle, const char* text, int byteLength);
