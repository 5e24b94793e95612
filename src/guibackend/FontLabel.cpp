// The pages' own fonts and labels drawn in them. This unit also compiles Nuklear itself: the label
// needs nk_widget_text, which Nuklear keeps internal to its implementation.
#define NK_IMPLEMENTATION
#include "guibackend/NuklearConfig.h"

#include "guibackend/GuiFont.h"

#include <cstring>
#include <cwchar>

const nk_user_font* MakePageFont(PageFont* pageFont, const nk_user_font* defaultFont, int height, int weight,
                                 int escapement, int orientation)
{
    if (pageFont == nullptr)
        return defaultFont;

    LOGFONTW& logfont = pageFont->logfont;
    logfont = LOGFONTW{};
    logfont.lfHeight = height;
    logfont.lfEscapement = escapement;
    logfont.lfOrientation = orientation;
    logfont.lfWeight = weight;
    logfont.lfCharSet = DEFAULT_CHARSET;
    logfont.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    logfont.lfQuality = PROOF_QUALITY;
    wcscpy(logfont.lfFaceName, L"Segoe UI");

    pageFont->font = GuiFont{};
    pageFont->font.logfont = &logfont;

    // Nuklear lays the text out with the default font's line height; only the width is the page font's.
    nk_user_font& description = pageFont->description;
    description.userdata = nk_handle_ptr(&pageFont->font);
    description.height = defaultFont != nullptr ? defaultFont->height : static_cast<float>(height);
    description.width =
        defaultFont != nullptr && defaultFont->width != nullptr ? defaultFont->width : GuiTextWidth;
    return &description;
}

void DrawFontLabel(nk_context* context, const char* text, nk_flags alignment, const nk_user_font* font,
                   struct nk_vec2 offset, nk_color colour)
{
    if (context == nullptr || context->current == nullptr || context->current->layout == nullptr ||
        text == nullptr || font == nullptr)
        return;

    // The slot's state does not matter: the label is drawn even where the slot is clipped away.
    struct nk_rect bounds;
    nk_widget(&bounds, context);
    bounds.x += offset.x;
    bounds.y += offset.y;

    struct nk_text settings;
    settings.padding = context->style.text.padding;
    settings.background = context->style.window.background;
    settings.text = colour;
    nk_widget_text(&context->current->buffer, bounds, text, static_cast<int>(strlen(text)), &settings,
                   alignment, font);
}
