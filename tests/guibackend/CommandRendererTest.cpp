// The command renderer: what each Nuklear command leaves in the graph window's back buffer, that every
// command puts the graphics library's state back, and a whole frame written out as a PNG artifact.
#include "GuiWindow.h"

#include "graphwin/gravo.h"
#include "guibackend/PageFont.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace
{
using GuiTest::ClearColour;
using GuiTest::Height;
using GuiTest::Width;

const nk_color Red = nk_rgb(200, 10, 10);
const DWORD RedWord = 0xC80A0A;

class CommandRendererTest : public GuiTest::GuiWindowTest
{
protected:
    int CountRed(int left, int top, int right, int bottom) const
    {
        return CountPixels(left, top, right, bottom, RedWord);
    }
    // The bounding box of the pure yellow pixels between two rows of the back buffer.
    SIZE InkSize(int top, int bottom) const
    {
        int left = Width, right = -1, high = bottom, low = -1;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < Width; ++x)
                if (Pixel(x, y) == 0xFFFF00)
                {
                    left = x < left ? x : left;
                    right = x > right ? x : right;
                    high = y < high ? y : high;
                    low = y > low ? y : low;
                }
        return right < 0 ? SIZE{0, 0} : SIZE{right - left + 1, low - high + 1};
    }
};

TEST_F(CommandRendererTest, ClearPaintsEveryPixelAndBecomesTheBackground)
{
    RenderGui(nk_rgb(99, 99, 99));
    EXPECT_EQ(CountPixels(0, 0, Width, Height, ClearColour), Width * Height);
    EXPECT_EQ(BackColour(), RGB(99, 99, 99));
}

TEST_F(CommandRendererTest, ReinitialisingStartsAFreshContext)
{
    EXPECT_EQ(GuiContext(), context);
    nk_fill_rect(BeginCanvas(), nk_rect(20, 30, 60, 40), 0, Red);
    nk_end(context);
    EXPECT_EQ(InitGuiBackend(font, windowDC, Width, Height), context);
    EXPECT_EQ(nk__begin(context), nullptr);
    nk_fill_rect(BeginCanvas(), nk_rect(100, 30, 60, 40), 0, Red);
    EndFrame();
    EXPECT_EQ(Pixel(40, 50), ClearColour);
    EXPECT_EQ(Pixel(120, 50), RedWord);
}

TEST_F(CommandRendererTest, ColourWithAlphaZeroIsDrawnOpaque)
{
    nk_fill_rect(BeginCanvas(), nk_rect(20, 30, 60, 40), 0, Red);
    nk_end(context);
    // Nuklear itself drops commands pushed with alpha 0: the alpha is cleared in the recorded command.
    int changed = 0;
    for (const nk_command* command = nk__begin(context); command != nullptr;
         command = nk__next(context, command))
    {
        if (command->type == NK_COMMAND_RECT_FILLED)
        {
            reinterpret_cast<nk_command_rect_filled*>(const_cast<nk_command*>(command))->color.a = 0;
            ++changed;
        }
    }
    ASSERT_EQ(changed, 1);
    RenderGui(nk_rgb(99, 99, 99));
    EXPECT_EQ(Pixel(20, 30), RedWord);
    EXPECT_EQ(Pixel(50, 50), RedWord);
    EXPECT_EQ(Pixel(79, 69), RedWord);
    EXPECT_EQ(Pixel(19, 30), ClearColour);
    EXPECT_EQ(Pixel(20, 29), ClearColour);
}

// The ink of the yellow text in a band of the back buffer: its width and height in pixels.
TEST_F(CommandRendererTest, TextIsDrawnInTheCommandsOwnFont)
{
    nk_command_buffer* canvas = BeginCanvas();
    PageFont big{};
    const nk_color yellow = nk_rgb(255, 255, 0);
    const nk_color background = nk_rgb(99, 99, 99);
    nk_draw_text(canvas, nk_rect(10, 10, 460, 60), "MMMM", 4,
                 MakePageFont(&big, &font->description, 48, 900, 0, 0), background, yellow);
    nk_draw_text(canvas, nk_rect(10, 150, 460, 30), "MMMM", 4, &font->description, background, yellow);
    EndFrame();
    const SIZE bigInk = InkSize(10, 140);
    const SIZE defaultInk = InkSize(150, 200);
    ASSERT_GT(defaultInk.cx, 0);
    // 48 pixels against 17: the ink is well over twice as wide and as tall.
    EXPECT_GT(bigInk.cx, defaultInk.cx * 2);
    EXPECT_GT(bigInk.cy, defaultInk.cy * 2);
}

// A font record without a LOGFONTW draws in the library's text style as the frame found it, not in the
// font of the text before it.
TEST_F(CommandRendererTest, TextWithoutLogfontIsDrawnInTheCallersFont)
{
    const nk_color yellow = nk_rgb(255, 255, 0);
    const nk_color background = nk_rgb(99, 99, 99);
    nk_draw_text(BeginCanvas(), nk_rect(10, 150, 460, 30), "MMMM", 4, &font->description, background, yellow);
    EndFrame();
    const SIZE defaultInk = InkSize(150, 200);
    ASSERT_GT(defaultInk.cx, 0);

    GuiFont bare{};
    bare.description.userdata = nk_handle_ptr(&bare);
    bare.description.height = 17;
    bare.description.width = GuiTextWidth;
    PageFont big{};
    nk_command_buffer* canvas = BeginCanvas();
    nk_draw_text(canvas, nk_rect(10, 10, 460, 60), "MMMM", 4,
                 MakePageFont(&big, &font->description, 48, 900, 0, 0), background, yellow);
    nk_draw_text(canvas, nk_rect(10, 150, 460, 30), "MMMM", 4, &bare.description, background, yellow);
    EndFrame();
    const SIZE bareInk = InkSize(150, 200);
    EXPECT_EQ(bareInk.cx, defaultInk.cx);
    EXPECT_EQ(bareInk.cy, defaultInk.cy);
}

TEST_F(CommandRendererTest, RoundingGivesRoundCornersAndZeroSquareOnes)
{
    nk_command_buffer* canvas = BeginCanvas();
    nk_fill_rect(canvas, nk_rect(100, 100, 60, 40), 4, Red);
    nk_fill_rect(canvas, nk_rect(200, 100, 60, 40), 0, Red);
    EndFrame();
    EXPECT_EQ(Pixel(100, 100), ClearColour);
    EXPECT_EQ(Pixel(130, 100), RedWord);
    EXPECT_EQ(Pixel(100, 120), RedWord);
    EXPECT_EQ(Pixel(200, 100), RedWord);
    EXPECT_EQ(CountRed(200, 100, 260, 140), 60 * 40);
}

TEST_F(CommandRendererTest, StrokedShapesLeaveTheirInsideAlone)
{
    nk_command_buffer* canvas = BeginCanvas();
    nk_stroke_rect(canvas, nk_rect(50, 50, 40, 30), 0, 1, Red);
    nk_stroke_circle(canvas, nk_rect(150, 50, 40, 40), 1, Red);
    EndFrame();
    EXPECT_EQ(Pixel(50, 50), RedWord);
    EXPECT_EQ(Pixel(70, 50), RedWord);
    EXPECT_EQ(Pixel(70, 65), ClearColour);
    EXPECT_GT(CountRed(150, 50, 191, 91), 80);
    EXPECT_EQ(Pixel(170, 70), ClearColour);
}

TEST_F(CommandRendererTest, ScissorClipsToItsRightAndBottomEdgesInclusive)
{
    nk_command_buffer* canvas = BeginCanvas();
    nk_push_scissor(canvas, nk_rect(10, 20, 100, 50));
    nk_fill_rect(canvas, nk_rect(0, 0, Width, Height), 0, Red);
    EndFrame();
    EXPECT_EQ(Pixel(10, 20), RedWord);
    EXPECT_EQ(Pixel(110, 70), RedWord);
    EXPECT_EQ(Pixel(9, 20), ClearColour);
    EXPECT_EQ(Pixel(10, 19), ClearColour);
    EXPECT_EQ(Pixel(111, 70), ClearColour);
    EXPECT_EQ(Pixel(110, 71), ClearColour);
    EXPECT_EQ(CountRed(0, 0, Width, Height), 101 * 51);
}

// 70 points: a triangle in the first 64, then six more that would widen it over the window's middle.
std::vector<float> SeventyPoints()
{
    std::vector<float> points = {10, 10, 60, 10};
    while (points.size() < 64 * 2)
        points.insert(points.end(), {60, 60});
    while (points.size() < 70 * 2)
        points.insert(points.end(), {400, 60, 400, 300, 10, 300});
    points.resize(70 * 2);
    return points;
}

TEST_F(CommandRendererTest, PolygonDrawsOnlyItsFirst64Points)
{
    std::vector<float> filled = SeventyPoints();
    nk_command_buffer* canvas = BeginCanvas();
    nk_fill_polygon(canvas, filled.data(), 70, Red);
    EndFrame();
    EXPECT_EQ(Pixel(50, 20), RedWord);
    EXPECT_EQ(Pixel(300, 200), ClearColour);
    EXPECT_EQ(CountRed(0, 61, Width, Height), 0);
}

TEST_F(CommandRendererTest, PolygonOutlineDrawsOnlyItsFirst64Points)
{
    std::vector<float> points = SeventyPoints();
    nk_command_buffer* canvas = BeginCanvas();
    nk_stroke_polygon(canvas, points.data(), 70, 1, Red);
    EndFrame();
    EXPECT_EQ(Pixel(35, 10), RedWord);
    EXPECT_EQ(Pixel(50, 20), ClearColour);
    EXPECT_EQ(CountRed(0, 62, Width, Height), 0);
    EXPECT_EQ(CountRed(61, 0, Width, Height), 0);
}

TEST_F(CommandRendererTest, PolylineDrawsAllItsSegments)
{
    std::vector<float> points;
    for (int i = 0; i < 70; ++i)
        points.insert(points.end(), {5.0f + 6 * i, 100.0f});
    nk_command_buffer* canvas = BeginCanvas();
    nk_stroke_polyline(canvas, points.data(), 70, 1, Red);
    EndFrame();
    EXPECT_EQ(Pixel(5, 100), RedWord);
    EXPECT_EQ(Pixel(390, 100), RedWord);
    EXPECT_EQ(Pixel(418, 100), RedWord);
    EXPECT_EQ(Pixel(418, 101), ClearColour);
}

bool IsYellowish(DWORD word)
{
    return ((word >> 16) & 0xFF) > 160 && ((word >> 8) & 0xFF) > 160 && (word & 0xFF) < 120;
}

TEST_F(CommandRendererTest, TextIsDrawnInItsColourOnATransparentBackground)
{
    const char text[] = "Gravo 安装向导";
    nk_draw_text(BeginCanvas(), nk_rect(20, 20, 300, 30), text, static_cast<int>(sizeof text - 1),
                 &font->description, nk_rgb(0, 0, 255), nk_rgb(255, 255, 0));
    EndFrame();
    int yellow = 0;
    for (int y = 20; y < 50; ++y)
        for (int x = 20; x < 320; ++x)
            yellow += IsYellowish(Pixel(x, y)) ? 1 : 0;
    EXPECT_GT(yellow, 50);
    EXPECT_EQ(CountPixels(0, 0, Width, Height, 0x0000FF), 0);
    EXPECT_EQ(CountPixels(0, 0, 20, Height, ClearColour), 20 * Height);
}

TEST_F(CommandRendererTest, ImageIsCopiedAndANullImageDrawsNothing)
{
    IMAGE picture(20, 10);
    for (int i = 0; i < 20 * 10; ++i)
        picture.Pixels()[i] = 0x123456;
    nk_command_buffer* canvas = BeginCanvas();
    struct nk_image nothing = nk_image_ptr(nullptr);
    nk_draw_image(canvas, nk_rect(10, 10, 40, 40), &nothing, nk_rgb(255, 255, 255));
    struct nk_image image = nk_image_ptr(&picture);
    nk_draw_image(canvas, nk_rect(100, 10, 20, 10), &image, nk_rgb(255, 255, 255));
    EndFrame();
    EXPECT_EQ(CountPixels(0, 0, 100, Height, ClearColour), 100 * Height);
    EXPECT_EQ(CountPixels(100, 10, 120, 20, 0x123456), 20 * 10);
}

TEST_F(CommandRendererTest, MultiColourRectangleGoesToTheWindowDcNotTheBackBuffer)
{
    // A pending first paint would copy the back buffer over the window DC after the drawing.
    UpdateWindow(window);
    nk_fill_rect_multi_color(BeginCanvas(), nk_rect(10, 10, 60, 40), Red, Red, Red, Red);
    EndFrame();
    EXPECT_EQ(CountPixels(0, 0, Width, Height, ClearColour), Width * Height);
    EXPECT_EQ(GetPixel(windowDC, 40, 30), RGB(200, 10, 10));
    EXPECT_NE(GetPixel(windowDC, 100, 100), RGB(200, 10, 10));
}

// The graphics library's state a command must leave as it found it.
struct LibraryState
{
    COLORREF line;
    COLORREF fill;
    COLORREF text;
    COLORREF back;
    int backMode;
    DWORD lineStyle;
    DWORD lineThickness;
    LONG fontHeight;
    std::wstring fontFace;
};

LibraryState CurrentState()
{
    LINESTYLE style;
    GetLineStyle(&style);
    LOGFONTW font{};
    GetFont(&font);
    return LibraryState{LineColour(), FillColour(),    TextColour(),  BackColour(),   BackMode(),
                        style.style,  style.thickness, font.lfHeight, font.lfFaceName};
}

struct CommandCase
{
    const char* name;
    std::function<void(nk_command_buffer*, const nk_user_font*)> push;
};

void PrintTo(const CommandCase& command, std::ostream* out)
{
    *out << command.name;
}

class CommandStateTest : public GuiTest::GuiWindowTest, public ::testing::WithParamInterface<CommandCase>
{
};

TEST_P(CommandStateTest, CommandLeavesColoursLineStyleAndFontAsFound)
{
    nk_command_buffer* canvas = BeginCanvas();
    PageFont pageFont{};
    GetParam().push(canvas, MakePageFont(&pageFont, &font->description, 22, 900, 0, 0));
    nk_end(context);

    SetBackColour(RGB(99, 99, 99));
    SetLineColour(RGB(1, 2, 3));
    SetFillColour(RGB(4, 5, 6));
    SetTextColour(RGB(7, 8, 9));
    SetBackMode(OPAQUE);
    SetLineStyle(PS_DASH, 1);
    const LibraryState before = CurrentState();
    RenderGui(nk_rgb(99, 99, 99));
    const LibraryState after = CurrentState();

    EXPECT_EQ(after.line, before.line);
    EXPECT_EQ(after.fill, before.fill);
    EXPECT_EQ(after.text, before.text);
    EXPECT_EQ(after.back, before.back);
    EXPECT_EQ(after.backMode, before.backMode);
    EXPECT_EQ(after.lineStyle, before.lineStyle);
    EXPECT_EQ(after.lineThickness, before.lineThickness);
    EXPECT_EQ(after.fontHeight, 17);
    EXPECT_EQ(after.fontFace, L"Segoe UI");
}

const nk_color Blue = nk_rgb(20, 40, 220);

std::vector<float> Square()
{
    return {100, 100, 150, 100, 150, 150, 100, 150};
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommandType, CommandStateTest,
    ::testing::Values(CommandCase{"Scissor", [](nk_command_buffer* c, const nk_user_font*)
                                  { nk_push_scissor(c, nk_rect(5, 5, 80, 80)); }},
                      CommandCase{"Line", [](nk_command_buffer* c, const nk_user_font*)
                                  { nk_stroke_line(c, 10, 10, 100, 90, 3, Blue); }},
                      CommandCase{"Curve", [](nk_command_buffer* c, const nk_user_font*)
                                  { nk_stroke_curve(c, 10, 10, 50, 0, 100, 50, 150, 10, 3, Blue); }},
                      CommandCase{"Rect", [](nk_command_buffer* c, const nk_user_font*)
                                  { nk_stroke_rect(c, nk_rect(10, 10, 50, 30), 4, 2, Blue); }},
                      CommandCase{"RectFilled", [](nk_command_buffer* c, const nk_user_font*)
                                  { nk_fill_rect(c, nk_rect(10, 10, 50, 30), 4, Blue); }},
                      CommandCase{
                          "RectMultiColour", [](nk_command_buffer* c, const nk_user_font*)
                          { nk_fill_rect_multi_color(c, nk_rect(10, 10, 50, 30), Blue, Red, Blue, Red); }},
                      CommandCase{"Circle", [](nk_command_buffer* c, const nk_user_font*)
                                  { nk_stroke_circle(c, nk_rect(10, 10, 40, 40), 2, Blue); }},
                      CommandCase{"CircleFilled", [](nk_command_buffer* c, const nk_user_font*)
                                  { nk_fill_circle(c, nk_rect(10, 10, 40, 40), Blue); }},
                      CommandCase{"Arc", [](nk_command_buffer* c, const nk_user_font*)
                                  { nk_stroke_arc(c, 60, 60, 30, 0, 2, 3, Blue); }},
                      CommandCase{"ArcFilled", [](nk_command_buffer* c, const nk_user_font*)
                                  { nk_fill_arc(c, 60, 60, 30, 0, 2, Blue); }},
                      CommandCase{"Triangle", [](nk_command_buffer* c, const nk_user_font*)
                                  { nk_stroke_triangle(c, 10, 10, 80, 10, 40, 60, 3, Blue); }},
                      CommandCase{"TriangleFilled", [](nk_command_buffer* c, const nk_user_font*)
                                  { nk_fill_triangle(c, 10, 10, 80, 10, 40, 60, Blue); }},
                      CommandCase{"Polygon",
                                  [](nk_command_buffer* c, const nk_user_font*)
                                  {
                                      std::vector<float> points = Square();
                                      nk_stroke_polygon(c, points.data(), 4, 2, Blue);
                                  }},
                      CommandCase{"PolygonFilled",
                                  [](nk_command_buffer* c, const nk_user_font*)
                                  {
                                      std::vector<float> points = Square();
                                      nk_fill_polygon(c, points.data(), 4, Blue);
                                  }},
                      CommandCase{"Polyline",
                                  [](nk_command_buffer* c, const nk_user_font*)
                                  {
                                      std::vector<float> points = Square();
                                      nk_stroke_polyline(c, points.data(), 4, 2, Blue);
                                  }},
                      CommandCase{"Text", [](nk_command_buffer* c, const nk_user_font* f)
                                  { nk_draw_text(c, nk_rect(10, 10, 200, 30), "Gravo", 5, f, Red, Blue); }},
                      CommandCase{"Image",
                                  [](nk_command_buffer* c, const nk_user_font*)
                                  {
                                      struct nk_image nothing = nk_image_ptr(nullptr);
                                      nk_draw_image(c, nk_rect(10, 10, 40, 40), &nothing, Blue);
                                  }}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

TEST_F(CommandRendererTest, WizardLikeFrameIsWrittenAsPng)
{
    PageFont titleFont{};
    context->style.window.fixed_background = nk_style_item_color(nk_rgb(240, 240, 240));
    ASSERT_TRUE(nk_begin(context, "Gravo", nk_rect(10, 10, 470, 300), NK_WINDOW_TITLE | NK_WINDOW_BORDER));
    nk_layout_row_dynamic(context, 30, 1);
    DrawFontLabel(context, "欢迎使用 “Gravo 26.1.1” 安装向导", NK_TEXT_CENTERED,
                  MakePageFont(&titleFont, context->style.font, 22, 900, 0, 0), nk_vec2(0, 0),
                  nk_rgb(33, 33, 33));
    nk_layout_row_dynamic(context, 20, 1);
    nk_label_colored(context, "本向导将引导您完成 Gravo 的安装。", NK_TEXT_LEFT, nk_rgb(33, 33, 33));
    nk_label_colored(context, "Gravo is a C/C++ graphics library.", NK_TEXT_LEFT, nk_rgb(33, 33, 33));
    nk_layout_row_dynamic(context, 20, 1);
    nk_label(context, "", NK_TEXT_LEFT);
    nk_layout_row_dynamic(context, 30, 3);
    nk_button_label(context, "上一步");
    nk_button_label(context, "下一步");
    nk_button_label(context, "Cancel");
    nk_end(context);
    RenderGui(nk_rgb(99, 99, 99));

    EXPECT_GT(CountPixels(10, 40, 480, 300, 0xF0F0F0), 10000);
    EXPECT_LT(CountPixels(10, 40, 480, 80, 0xF0F0F0), 470 * 40);
    EXPECT_EQ(Pixel(2, 2), ClearColour);
    EXPECT_TRUE(GuiTest::WriteBackBufferPng(GuiTest::ArtifactPath(L"guibackend-frame.png")));
}
} // namespace
