// The clipboard callbacks through the real clipboard of the desktop: copying puts Unicode text on it,
// pasting inserts its text into a Nuklear text edit.
#include "guibackend/Clipboard.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
class ClipboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        nk_textedit_init_default(&edit);
        // A fresh text edit is in view mode, which refuses pastes.
        edit.mode = NK_TEXT_EDIT_MODE_INSERT;
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        CloseClipboard();
    }
    void TearDown() override { nk_textedit_free(&edit); }

    // Puts a block of the given wide characters (terminator included by the caller) on the clipboard.
    static void PutBlock(const wchar_t* characters, size_t count)
    {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, count * sizeof(wchar_t));
        ASSERT_NE(block, nullptr);
        std::memcpy(GlobalLock(block), characters, count * sizeof(wchar_t));
        GlobalUnlock(block);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        const bool taken = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
        CloseClipboard();
        if (!taken)
            GlobalFree(block);
        ASSERT_TRUE(taken);
    }

    static std::wstring ClipboardText()
    {
        std::wstring text;
        if (!OpenClipboard(nullptr))
            return L"<not opened>";
        if (HANDLE block = GetClipboardData(CF_UNICODETEXT))
        {
            text = static_cast<const wchar_t*>(GlobalLock(block));
            GlobalUnlock(block);
        }
        CloseClipboard();
        return text;
    }

    std::string EditText()
    {
        return std::string(nk_str_get_const(&edit.string),
                           static_cast<size_t>(nk_str_len_char(&edit.string)));
    }

    nk_text_edit edit{};
};

TEST_F(ClipboardTest, CopyPutsTheTextAsUnicode)
{
    const char text[] = "安装 Gravo \xF0\x9F\x98\x80";
    ClipboardCopy(nk_handle_ptr(nullptr), text, static_cast<int>(sizeof text - 1));
    EXPECT_EQ(ClipboardText(), L"安装 Gravo \U0001F600");
}

TEST_F(ClipboardTest, CopyTakesOnlyTheGivenBytes)
{
    ClipboardCopy(nk_handle_ptr(nullptr), "Gravo Setup", 5);
    EXPECT_EQ(ClipboardText(), L"Gravo");
}

TEST_F(ClipboardTest, CopyAndPasteRoundTrip)
{
    const char text[] = "C:\\Gravo\\安装";
    ClipboardCopy(nk_handle_ptr(nullptr), text, static_cast<int>(sizeof text - 1));
    ClipboardPaste(nk_handle_ptr(nullptr), &edit);
    EXPECT_EQ(EditText(), text);
}

TEST_F(ClipboardTest, PasteGoesInAtTheCursorAndMovesItByCharacters)
{
    nk_textedit_text(&edit, "ab", 2);
    edit.cursor = 1;
    PutBlock(L"安装", 3);
    ClipboardPaste(nk_handle_ptr(nullptr), &edit);
    EXPECT_EQ(EditText(), "a安装b");
    EXPECT_EQ(edit.cursor, 3);
}

TEST_F(ClipboardTest, PasteKeepsTheEditsFilter)
{
    edit.filter = nk_filter_decimal;
    PutBlock(L"12ab3", 6);
    ClipboardPaste(nk_handle_ptr(nullptr), &edit);
    EXPECT_EQ(EditText(), "123");
}

TEST_F(ClipboardTest, PasteStopsAtTheTerminator)
{
    const wchar_t block[] = L"abc\0def";
    PutBlock(block, 8);
    ClipboardPaste(nk_handle_ptr(nullptr), &edit);
    EXPECT_EQ(EditText(), "abc");
}

TEST_F(ClipboardTest, EmptyClipboardTextPastesNothing)
{
    PutBlock(L"", 1);
    ClipboardPaste(nk_handle_ptr(nullptr), &edit);
    EXPECT_EQ(nk_str_len_char(&edit.string), 0);
}

TEST_F(ClipboardTest, NoUnicodeTextPastesNothing)
{
    ClipboardPaste(nk_handle_ptr(nullptr), &edit);
    ClipboardPaste(nk_handle_ptr(nullptr), nullptr);
    EXPECT_EQ(nk_str_len_char(&edit.string), 0);
}

TEST_F(ClipboardTest, CopyingNothingLeavesTheClipboardAlone)
{
    PutBlock(L"kept", 5);
    ClipboardCopy(nk_handle_ptr(nullptr), "", 0);
    ClipboardCopy(nk_handle_ptr(nullptr), nullptr, 4);
    EXPECT_EQ(ClipboardText(), L"kept");
}
} // namespace
