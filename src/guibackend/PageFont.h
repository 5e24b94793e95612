// The pages' own fonts (bigger, bolder or turned text) and the label drawn in such a font at an offset
// of its layout slot. Needs the font record of GuiFont.h.
#pragma once

#include "guibackend/GuiFont.h"
#include "guibackend/NuklearConfig.h"

#include <windows.h>

// A page's own font, stored in the page object and filled by MakePageFont in every frame that uses it.
// `font.logfont` points at `logfont` and `description.userdata` at `font`, so MakePageFont must be
// called again after the object moved. Zero-filled is a valid, empty state.
struct PageFont
{
    LOGFONTW logfont;
    GuiFont font;
    nk_user_font description;
};

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
