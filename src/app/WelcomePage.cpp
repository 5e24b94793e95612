#include "app/WelcomePage.h"

#include "win32/TextConversion.h"

namespace
{

const nk_color textColour = nk_rgb(33, 33, 33);
constexpr float footerHeight = 45;

const char* const summaryLines[6] = {
    "  Gravo 库为 C/C++ 提供了简单的绘图接口，可以帮助", "  您快速编写图形程序。",
    "  这个向导将帮助您安装 Gravo 库到指定开发环境中。", "  Gravo 目前支持 Visual C++ 6 / 2008 ～ 2026。",
    "  如果您希望手动安装 Gravo，请参见帮助文件。",      "  单击 [下一步] 继续。",
};

} // namespace

nk_style_button MakeButtonStyle(const nk_context* context)
{
    nk_style_button style = context->style.button;
    style.normal = nk_style_item_color(nk_rgb(222, 222, 222));
    style.hover = nk_style_item_color(nk_rgb(255, 255, 255));
    style.active = nk_style_item_color(nk_rgb(255, 255, 255));
    style.text_normal = nk_rgb(66, 66, 66);
    style.text_hover = nk_rgb(88, 88, 88);
    style.text_active = nk_rgb(88, 88, 88);
    return style;
}

FooterButton DrawFooterButtons(nk_context* context, const nk_style_button& style, int width, float rowHeight,
                               float y, const char* leftLabel, const char* rightLabel)
{
    FooterButton pressed = FooterButton::none;
    nk_layout_space_begin(context, NK_STATIC, rowHeight, 2);
    nk_layout_space_push(context, nk_rect(width - 200.0f, y, 80, 25));
    if (nk_button_label_styled(context, &style, leftLabel))
        pressed = FooterButton::left;
    nk_layout_space_push(context, nk_rect(width - 100.0f, y, 80, 25));
    if (nk_button_label_styled(context, &style, rightLabel))
        pressed = FooterButton::right;
    nk_layout_space_end(context);
    return pressed;
}

WelcomePage::WelcomePage(nk_context* context, int width, int height)
    : context_(context), width_(width), height_(height)
{
}

void WelcomePage::Draw(int* running, int* page)
{
    context_->style.window.background = nk_rgb(77, 77, 77);
    // The list page leaves its beige as the window background, which would show in the gap between the
    // strip and the panel: the welcome page looks the same on every visit, as on the first.
    context_->style.window.fixed_background = nk_style_item_color(nk_rgb(45, 45, 45));
    if (nk_begin(context_, "", nk_rect(0, 0, static_cast<float>(width_), static_cast<float>(height_)),
                 NK_WINDOW_NO_SCROLLBAR))
    {
        const float ratios[2] = {0.3f, 0.7f};
        nk_layout_row(context_, NK_DYNAMIC, height_ - footerHeight, 2, ratios);
        DrawLogo();
        DrawSummary();
        DrawFooter(running, page);
    }
    nk_end(context_);
}

void WelcomePage::DrawLogo()
{
    if (!nk_group_begin(context_, "group_p1_logo", NK_WINDOW_NO_SCROLLBAR))
        return;
    const float logoWidth = width_ * 0.3f;
    nk_layout_space_begin(context_, NK_STATIC, static_cast<float>(height_ - 100), 2);
    nk_layout_space_push(context_, nk_rect(0, 0, logoWidth, height_ - footerHeight));
    nk_fill_rect(nk_window_get_canvas(context_), nk_rect(0, 0, logoWidth, height_ - footerHeight), 0,
                 nk_rgb(33, 23, 129));
    const nk_user_font* logo = MakePageFont(&logoFont_, context_->style.font, 80, 0, -900, -900);
    // The text runs downwards, so its slot has the strip's width and height exchanged.
    nk_layout_space_push(context_, nk_rect(0, 0, height_ - footerHeight, logoWidth));
    DrawFontLabel(context_, "Gravo", NK_TEXT_ALIGN_LEFT, logo, nk_vec2(145, 30), nk_rgb(170, 170, 170));
    nk_layout_space_end(context_);
    nk_group_end(context_);
}

void WelcomePage::DrawSummary()
{
    if (!nk_group_begin(context_, "group_p1_summary", NK_WINDOW_NO_SCROLLBAR))
        return;
    const std::string title = WideToUtf8(L"欢迎使用 “Gravo 26.1.1” 安装向导");
    nk_fill_rect(nk_window_get_canvas(context_),
                 nk_rect(width_ * 0.3f, 0, width_ * 0.7f, height_ - footerHeight), 0, nk_rgb(245, 245, 239));
    const nk_user_font* titleFont = MakePageFont(&titleFont_, context_->style.font, 22, 900, 0, 0);
    nk_layout_row_dynamic(context_, 5, 1);
    nk_layout_row_dynamic(context_, 24, 1);
    DrawFontLabel(context_, title.c_str(), NK_TEXT_CENTERED, titleFont, nk_vec2(0, 0), textColour);
    nk_layout_row_dynamic(context_, 15, 1);
    nk_layout_row_dynamic(context_, 18, 1);
    for (int line = 0; line < 6; ++line)
    {
        // Lines 3, 5 and 6 start a new paragraph after a 7-pixel gap.
        if (line == 2 || line == 4 || line == 5)
        {
            nk_layout_row_dynamic(context_, 7, 1);
            nk_layout_row_dynamic(context_, 18, 1);
        }
        nk_label_colored(context_, summaryLines[line], NK_TEXT_LEFT, textColour);
    }
    nk_group_end(context_);
}

void WelcomePage::DrawFooter(int* running, int* page)
{
    nk_command_buffer* canvas = nk_window_get_canvas(context_);
    nk_fill_rect(canvas, nk_rect(0, 283, static_cast<float>(width_), 1), 0, nk_rgb(100, 100, 100));
    nk_fill_rect(canvas, nk_rect(0, 284, static_cast<float>(width_), 45), 0, nk_rgb(235, 235, 209));
    const FooterButton pressed =
        DrawFooterButtons(context_, MakeButtonStyle(context_), width_, 10, 7, "下一步 >", "取消");
    if (pressed == FooterButton::left)
        *page = 2;
    else if (pressed == FooterButton::right)
        *running = 0;
}
