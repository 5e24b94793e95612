// Fonts and text: the default GUI font as the library's text style, widths measured with each font's
// own LOGFONTW, page fonts, labels in a font, and the UTF-8/UTF-16 conversions.
#include "GuiWindow.h"

#include "graphwin/gravo.h"
#include "guibackend/Clipboard.h"
#include "guibackend/PageFont.h"
#include "win32/TextConversion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
class GuiFontTest : public GuiTest::GuiWindowTest
{
protected:
    LOGFONTW CurrentFont() const
    {
        LOGFONTW current{};
        GetFont(&current);
        return current;
    }
};

TEST_F(GuiFontTest, DefaultFontBecomesTheLibrarysTextStyle)
{
    const LOGFONTW current = CurrentFont();
    EXPECT_EQ(current.lfHeight, 17);
    EXPECT_EQ(current.lfWidth, 0);
    EXPECT_EQ(current.lfOutPrecision, OUT_TT_ONLY_PRECIS);
    EXPECT_EQ(current.lfQuality, PROOF_QUALITY);
    EXPECT_STREQ(current.lfFaceName, L"Segoe UI");
    ASSERT_NE(font->logfont, nullptr);
    EXPECT_EQ(std::memcmp(font->logfont, &current, sizeof current), 0);
}

TEST_F(GuiFontTest, InitGuiBackendDescribesTheDefaultFont)
{
    EXPECT_EQ(font->description.userdata.ptr, font);
    EXPECT_EQ(font->description.height, 17.0f);
    EXPECT_EQ(font->description.width, &GuiTextWidth);
    EXPECT_EQ(context->style.font, &font->description);
    EXPECT_EQ(context->clip.copy, &ClipboardCopy);
    EXPECT_EQ(context->clip.paste, &ClipboardPaste);
}

TEST_F(GuiFontTest, LongFaceNameIsCutToTheLogfontsField)
{
    GuiFont* longFace = CreateGuiFont("A face name far longer than thirty-one characters", 12, 0);
    ASSERT_NE(longFace, nullptr);
    EXPECT_STREQ(longFace->logfont->lfFaceName, L"A face name far longer than thi");
    DestroyGuiFont(longFace);
    DestroyGuiFont(nullptr);
}

TEST_F(GuiFontTest, WidthIsTheDefaultFontsTextWidth)
{
    const float width =
        GuiTextWidth(nk_handle_ptr(font), 17, "Hello 安装", static_cast<int>(strlen("Hello 安装")));
    EXPECT_GT(width, 0.0f);
    EXPECT_EQ(width, static_cast<float>(TextWidth(L"Hello 安装")));
    EXPECT_EQ(GuiTextWidth(nk_handle_ptr(font), 17, "Hello", 2), static_cast<float>(TextWidth(L"He")));
}

// Nuklear clamps an overflowing label by asking for each prefix in turn; the answers come from one
// measurement of the whole text and must be the widths the library measures for each prefix itself.
TEST_F(GuiFontTest, EveryPrefixMeasuresAsTheLibraryMeasuresIt)
{
    const std::string texts[] = {
        "包含目录: C:\\Program Files\\Microsoft Visual Studio \xF0\x9F\x98\x80 x",
        "abc\xFF\xFE def \xE5\xAE",   // an invalid byte and a cut-off character
        std::string("tab\0after", 9), // the text ends at its zero, as Windows takes it
    };
    for (const std::string& text : texts)
    {
        const int length = static_cast<int>(text.size());
        EXPECT_EQ(GuiTextWidth(nk_handle_ptr(font), 17, text.data(), length),
                  static_cast<float>(TextWidth(Utf8ToWide(text.data(), length).c_str())));
        for (int prefix = length; prefix >= 0; --prefix)
            EXPECT_EQ(GuiTextWidth(nk_handle_ptr(font), 17, text.data(), prefix),
                      static_cast<float>(TextWidth(Utf8ToWide(text.data(), prefix).c_str())))
                << text << " up to byte " << prefix;
    }
}

// The widths are kept per text and font, a bounded number of them: answers from them, after many other
// texts and in another font, are what the library measures.
TEST_F(GuiFontTest, KeptWidthsAreTheLibrarysAfterManyTexts)
{
    PageFont title{};
    const nk_user_font* bold = MakePageFont(&title, context->style.font, 22, 900, 0, 0);
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 700; ++i)
        {
            const std::string text =
                "库目录 " + std::string(static_cast<size_t>(i % 37), 'W') + std::to_string(i);
            const int length = static_cast<int>(text.size());
            const std::wstring wide = Utf8ToWide(text.data(), length);
            ASSERT_EQ(GuiTextWidth(nk_handle_ptr(font), 17, text.data(), length),
                      static_cast<float>(TextWidth(wide.c_str())))
                << text;
            const float boldWidth = bold->width(bold->userdata, 17, text.data(), length);
            SetFont(&title.logfont);
            const int libraryBold = TextWidth(wide.c_str());
            SetFont(font->logfont);
            ASSERT_EQ(boldWidth, static_cast<float>(libraryBold)) << text;
        }
}

TEST_F(GuiFontTest, SamePrefixInAnotherFontIsMeasuredInThatFont)
{
    const char text[] = "Visual C++ 2022";
    const int length = static_cast<int>(sizeof text - 1);
    PageFont title{};
    const nk_user_font* description = MakePageFont(&title, context->style.font, 22, 900, 0, 0);
    const float defaultWidth = GuiTextWidth(nk_handle_ptr(font), 17, text, length);
    const float titlePrefix = description->width(description->userdata, 17, text, 6);
    const float defaultPrefix = GuiTextWidth(nk_handle_ptr(font), 17, text, 6);
    EXPECT_EQ(defaultPrefix, static_cast<float>(TextWidth(L"Visual")));
    EXPECT_GT(titlePrefix, defaultPrefix);
    EXPECT_GT(defaultWidth, defaultPrefix);
}

TEST_F(GuiFontTest, EmptyOrMissingTextOrFontMeasuresZero)
{
    EXPECT_EQ(GuiTextWidth(nk_handle_ptr(font), 17, "", 0), 0.0f);
    EXPECT_EQ(GuiTextWidth(nk_handle_ptr(font), 17, nullptr, 4), 0.0f);
    EXPECT_EQ(GuiTextWidth(nk_handle_ptr(nullptr), 17, "Text", 4), 0.0f);
    PageFont unfilled{};
    EXPECT_EQ(GuiTextWidth(nk_handle_ptr(&unfilled.font), 17, "Text", 4), 0.0f);
}

TEST_F(GuiFontTest, PageFontMeasuresWithItsOwnLogfont)
{
    PageFont title{};
    const nk_user_font* description = MakePageFont(&title, context->style.font, 22, 900, 0, 0);
    ASSERT_EQ(description, &title.description);
    EXPECT_EQ(description->height, 17.0f);
    EXPECT_EQ(description->width, &GuiTextWidth);
    EXPECT_EQ(title.font.logfont, &title.logfont);
    EXPECT_EQ(title.logfont.lfHeight, 22);
    EXPECT_EQ(title.logfont.lfWeight, 900);
    EXPECT_EQ(title.logfont.lfCharSet, DEFAULT_CHARSET);
    EXPECT_STREQ(title.logfont.lfFaceName, L"Segoe UI");

    const char text[] = "Gravo 安装向导";
    const int length = static_cast<int>(sizeof text - 1);
    const float pageWidth = description->width(description->userdata, description->height, text, length);
    const float defaultWidth = GuiTextWidth(nk_handle_ptr(font), 17, text, length);
    EXPECT_GT(pageWidth, defaultWidth);
    EXPECT_EQ(CurrentFont().lfHeight, 17);
}

TEST_F(GuiFontTest, TurnedPageFontKeepsItsEscapement)
{
    PageFont logo{};
    MakePageFont(&logo, context->style.font, 80, 0, -900, -900);
    EXPECT_EQ(logo.logfont.lfEscapement, -900);
    EXPECT_EQ(logo.logfont.lfOrientation, -900);
    EXPECT_EQ(logo.description.height, 17.0f);
    EXPECT_EQ(MakePageFont(nullptr, context->style.font, 80, 0, 0, 0), context->style.font);
}

TEST_F(GuiFontTest, DrawGuiTextUsesTheCurrentTextColour)
{
    SetTextColour(RGB(255, 255, 0));
    SetBackMode(TRANSPARENT);
    SetBackColour(RGB(99, 99, 99));
    ClearTarget();
    DrawGuiText(10, 10, "Gravo");
    DrawGuiText(10, 10, nullptr);
    EXPECT_GT(CountPixels(10, 10, 100, 30, 0xFFFF00), 5);
    EXPECT_EQ(CountPixels(0, 40, GuiTest::Width, GuiTest::Height, GuiTest::ClearColour),
              GuiTest::Width * (GuiTest::Height - 40));
}

TEST_F(GuiFontTest, FontLabelIsDrawnAtItsOffsetInItsFont)
{
    PageFont title{};
    BeginCanvas();
    nk_layout_row_dynamic(context, 24, 1);
    DrawFontLabel(context, "Gravo", NK_TEXT_LEFT, MakePageFont(&title, context->style.font, 22, 900, 0, 0),
                  nk_vec2(100, 200), nk_rgb(255, 255, 0));
    EndFrame();
    EXPECT_EQ(CountPixels(0, 0, GuiTest::Width, 190, 0xFFFF00), 0);
    EXPECT_GT(CountPixels(100, 200, 200, 230, 0xFFFF00), 20);
}

TEST_F(GuiFontTest, FontLabelWithoutWindowOrTextDoesNothing)
{
    DrawFontLabel(context, "Gravo", NK_TEXT_LEFT, context->style.font, nk_vec2(0, 0), nk_rgb(255, 255, 0));
    DrawFontLabel(nullptr, "Gravo", NK_TEXT_LEFT, context->style.font, nk_vec2(0, 0), nk_rgb(255, 255, 0));
    BeginCanvas();
    nk_layout_row_dynamic(context, 24, 1);
    DrawFontLabel(context, nullptr, NK_TEXT_LEFT, context->style.font, nk_vec2(0, 0), nk_rgb(255, 255, 0));
    EndFrame();
    EXPECT_EQ(CountPixels(0, 0, GuiTest::Width, GuiTest::Height, GuiTest::ClearColour),
              GuiTest::Width * GuiTest::Height);
}

class TextConversionTest : public ::testing::Test
{
};

TEST_F(TextConversionTest, ChineseAndAstralTextRoundTrips)
{
    const std::wstring wide = L"欢迎使用 Gravo \U0001F600 安装";
    const std::string utf8 = WideToUtf8(wide.c_str());
    EXPECT_EQ(utf8, "欢迎使用 Gravo \xF0\x9F\x98\x80 安装");
    EXPECT_EQ(Utf8ToWide(utf8.c_str()), wide);
    EXPECT_EQ(Utf8ToWide(utf8.c_str(), static_cast<int>(utf8.size())), wide);
    EXPECT_EQ(WideToUtf8(wide), utf8);
}

TEST_F(TextConversionTest, LengthLimitsTheConvertedBytes)
{
    EXPECT_EQ(Utf8ToWide("abcdef", 3), L"abc");
    EXPECT_EQ(Utf8ToWide("安装", 3), L"安");
}

TEST_F(TextConversionTest, EmptyAndNullTextsConvertToEmpty)
{
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(Utf8ToWide("abc", 0), L"");
    EXPECT_EQ(Utf8ToWide(nullptr), L"");
    EXPECT_EQ(WideToUtf8(L""), "");
    EXPECT_EQ(WideToUtf8(static_cast<const wchar_t*>(nullptr)), "");
}
} // namespace
