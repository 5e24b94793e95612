// Page 1 of the wizard: the logo strip, the summary panel with its title and text, and the footer with
// "下一步 >" and "取消". Also the wizard's button style, which the list page uses too.
#pragma once

#include "guibackend/PageFont.h"
#include "guibackend/NuklearConfig.h"

// A fresh copy of the context's button style in the wizard's grey and white.
nk_style_button MakeButtonStyle(const nk_context* context);

// Which of a footer's two buttons was pressed in this frame.
enum class FooterButton
{
    none,
    left,
    right,
};

// A footer's two 80 by 25 buttons, 200 and 100 pixels from the right edge of a page `width` wide, in a
// free-placement row `rowHeight` high at `y` within it.
FooterButton DrawFooterButtons(nk_context* context, const nk_style_button& style, int width, float rowHeight,
                               float y, const char* leftLabel, const char* rightLabel);

class WelcomePage
{
public:
    WelcomePage(nk_context* context, int width, int height);

    // Builds the page for this frame; writes 2 through page for "下一步 >" and 0 through running for "取消".
    void Draw(int* running, int* page);

private:
    void DrawLogo();
    void DrawSummary();
    void DrawFooter(int* running, int* page);

    nk_context* context_;
    int width_;
    int height_;
    PageFont logoFont_{};
    PageFont titleFont_{};
};
