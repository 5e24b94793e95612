// Drawing only what changed: a frame with the last frame's commands is not drawn again, one that changed in
// part is drawn only around the change and is then the whole frame, and frames it cannot judge are drawn
// whole.
#include "GuiWindow.h"

#include "graphwin/gravo.h"
#include "guibackend/PageFont.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
using GuiTest::Height;
using GuiTest::Width;

const DWORD MarkWord = 0xC80A0A;

class ChangedFrameTest : public GuiTest::GuiWindowTest
{
protected:
    // Three buttons-like boxes and a label; the middle box in the colour given, the label in the font given.
    void PushFrame(nk_color middle, const nk_user_font* labelFont = nullptr, const char* label = "Gravo")
    {
        nk_command_buffer* canvas = BeginCanvas();
        nk_fill_rect(canvas, nk_rect(0, 0, Width, Height), 0, nk_rgb(235, 235, 209));
        nk_fill_rect(canvas, nk_rect(20, 200, 80, 25), 0, nk_rgb(222, 222, 222));
        nk_fill_rect(canvas, nk_rect(120, 200, 80, 25), 3, middle);
        nk_stroke_rect(canvas, nk_rect(120, 200, 80, 25), 3, 1, nk_rgb(66, 66, 66));
        nk_fill_rect(canvas, nk_rect(220, 200, 80, 25), 0, nk_rgb(222, 222, 222));
        nk_draw_text(canvas, nk_rect(20, 20, 300, 120), label, static_cast<int>(strlen(label)),
                     labelFont != nullptr ? labelFont : &font->description, nk_rgb(235, 235, 209),
                     nk_rgb(33, 33, 33));
        nk_end(context);
    }
    static bool IsWhole(const RECT& drawn)
    {
        return drawn.left == 0 && drawn.top == 0 && drawn.right == Width && drawn.bottom == Height;
    }
    std::vector<DWORD> BackBuffer() const
    {
        const DWORD* pixels = TargetPixels(nullptr);
        return std::vector<DWORD>(pixels, pixels + Width * Height);
    }
    // Marks a pixel of the back buffer behind the renderer's back: only a drawing there covers it again.
    void Mark(int x, int y) { WritePixel(x, y, RGB(200, 10, 10)); }
};

TEST_F(ChangedFrameTest, SameCommandsAreNotDrawnAgain)
{
    PushFrame(nk_rgb(222, 222, 222));
    RECT drawn = RenderGuiIfChanged(nk_rgb(99, 99, 99));
    EXPECT_TRUE(IsWhole(drawn)) << "the first frame is drawn whole";
    Mark(400, 300);
    PushFrame(nk_rgb(222, 222, 222));
    drawn = RenderGuiIfChanged(nk_rgb(99, 99, 99));
    EXPECT_TRUE(IsRectEmpty(&drawn));
    EXPECT_EQ(Pixel(400, 300), MarkWord);
    EXPECT_EQ(nk__begin(context), nullptr) << "the commands are emptied all the same";
}

TEST_F(ChangedFrameTest, ChangedBoxIsDrawnOnlyAroundItAndGivesTheWholeFrame)
{
    PushFrame(nk_rgb(222, 222, 222));
    RenderGuiIfChanged(nk_rgb(99, 99, 99));
    Mark(400, 300);
    Mark(20, 200);
    PushFrame(nk_rgb(255, 255, 255));
    const RECT drawn = RenderGuiIfChanged(nk_rgb(99, 99, 99));
    EXPECT_LE(drawn.left, 120);
    EXPECT_LE(drawn.top, 200);
    EXPECT_GE(drawn.right, 201);
    EXPECT_GE(drawn.bottom, 226);
    EXPECT_LT(drawn.right - drawn.left, 120);
    EXPECT_LT(drawn.bottom - drawn.top, 60);
    EXPECT_EQ(Pixel(400, 300), MarkWord) << "outside the change nothing is drawn";
    EXPECT_EQ(Pixel(160, 212), 0xFFFFFFu);
    // The marks aside, the back buffer is the frame drawn whole.
    std::vector<DWORD> inPart = BackBuffer();
    inPart[300 * Width + 400] = 0xEBEBD1;
    inPart[200 * Width + 20] = 0xDEDEDE;
    PushFrame(nk_rgb(255, 255, 255));
    RenderGui(nk_rgb(99, 99, 99));
    EXPECT_EQ(BackBuffer(), inPart);
}

TEST_F(ChangedFrameTest, FrameAfterRenderGuiIsDrawnWhole)
{
    PushFrame(nk_rgb(222, 222, 222));
    RenderGuiIfChanged(nk_rgb(99, 99, 99));
    PushFrame(nk_rgb(222, 222, 222));
    RenderGui(nk_rgb(99, 99, 99));
    PushFrame(nk_rgb(222, 222, 222));
    const RECT drawn = RenderGuiIfChanged(nk_rgb(99, 99, 99));
    EXPECT_TRUE(IsWhole(drawn));
}

TEST_F(ChangedFrameTest, OtherClearColourIsDrawnWhole)
{
    PushFrame(nk_rgb(222, 222, 222));
    RenderGuiIfChanged(nk_rgb(99, 99, 99));
    PushFrame(nk_rgb(222, 222, 222));
    const RECT drawn = RenderGuiIfChanged(nk_rgb(98, 99, 99));
    EXPECT_TRUE(IsWhole(drawn));
}

// Text in a turned font runs outside its command's box, so a change of it is drawn whole.
TEST_F(ChangedFrameTest, ChangedTextInATurnedFontIsDrawnWhole)
{
    PageFont turned{};
    const nk_user_font* logo = MakePageFont(&turned, &font->description, 40, 0, -900, -900);
    PushFrame(nk_rgb(222, 222, 222), logo, "Gravo");
    RenderGuiIfChanged(nk_rgb(99, 99, 99));
    PushFrame(nk_rgb(222, 222, 222), logo, "Grave");
    const RECT drawn = RenderGuiIfChanged(nk_rgb(99, 99, 99));
    EXPECT_TRUE(IsWhole(drawn));
}

// The same bytes with another font behind the same description are another frame.
TEST_F(ChangedFrameTest, SameLabelInAnotherFontIsDrawnAgain)
{
    PageFont page{};
    const nk_user_font* title = MakePageFont(&page, &font->description, 22, 900, 0, 0);
    PushFrame(nk_rgb(222, 222, 222), title);
    RenderGuiIfChanged(nk_rgb(99, 99, 99));
    const std::vector<DWORD> bold = BackBuffer();
    page.logfont.lfWeight = 400;
    PushFrame(nk_rgb(222, 222, 222), title);
    const RECT drawn = RenderGuiIfChanged(nk_rgb(99, 99, 99));
    EXPECT_FALSE(IsRectEmpty(&drawn));
    EXPECT_NE(BackBuffer(), bold);
}
} // namespace
