// The pages' own fonts and the labels drawn in them.
#include "guibackend/PageFont.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace
{
// Where Nuklear's own label (nk_widget_text, internal to its implementation) puts a text of textWidth
// pixels in the slot bounds with the padding and the alignment flags; false for no horizontal alignment.
bool LabelRect(struct nk_rect bounds, struct nk_vec2 padding, nk_flags alignment, float textWidth,
               float fontHeight, struct nk_rect* label)
{
    bounds.h = std::max(bounds.h, 2 * padding.y);
    label->x = 0;
    label->w = 0;
    label->y = bounds.y + padding.y;
    label->h = std::min(fontHeight, bounds.h - 2 * padding.y);
    textWidth += 2.0f * padding.x;
    if (alignment & NK_TEXT_ALIGN_LEFT)
    {
        label->x = bounds.x + padding.x;
        label->w = std::max(0.0f, bounds.w - 2 * padding.x);
    }
    else if (alignment & NK_TEXT_ALIGN_CENTERED)
    {
        label->w = std::max(1.0f, 2 * padding.x + textWidth);
        label->x = bounds.x + padding.x + ((bounds.w - 2 * padding.x) - label->w) / 2;
        label->x = std::max(bounds.x + padding.x, label->x);
        label->w = std::min(bounds.x + bounds.w, label->x + label->w);
        if (label->w >= label->x)
            label->w -= label->x;
    }
    else if (alignment & NK_TEXT_ALIGN_RIGHT)
    {
        label->x = std::max(bounds.x + padding.x, (bounds.x + bounds.w) - (2 * padding.x + textWidth));
        label->w = textWidth + 2 * padding.x;
    }
    else
    {
        return false;
    }
    if (alignment & NK_TEXT_ALIGN_MIDDLE)
    {
        label->y = bounds.y + bounds.h / 2.0f - fontHeight / 2.0f;
        label->h = std::max(bounds.h / 2.0f, bounds.h - (bounds.h / 2.0f + fontHeight / 2.0f));
    }
    else if (alignment & NK_TEXT_ALIGN_BOTTOM)
    {
        label->y = bounds.y + bounds.h - fontHeight;
        label->h = fontHeight;
    }
    return true;
}
} // namespace

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

    const int length = static_cast<int>(strlen(text));
    const float textWidth = font->width(font->userdata, font->height, text, length);
    struct nk_rect label;
    if (LabelRect(bounds, context->style.text.padding, alignment, textWidth, font->height, &label))
        nk_draw_text(&context->current->buffer, label, text, length, font, context->style.window.background,
                     colour);
}
