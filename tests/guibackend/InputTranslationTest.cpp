// Input translation: the pure key table, and records in, the GUI context's input state out, with the
// mouse capture that a held button asks of the graph window's thread.
#include "GuiWindow.h"

#include "graphwin/gravo.h"
#include "guibackend/InputTranslation.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class KeyTableTest : public ::testing::Test
{
protected:
    static void ExpectOne(unsigned virtualKey, bool control, nk_keys key)
    {
        const NuklearKeys keys = TranslateVirtualKey(virtualKey, control);
        ASSERT_EQ(keys.count, 1) << virtualKey;
        EXPECT_EQ(keys.keys[0], key) << virtualKey;
    }
};

TEST_F(KeyTableTest, EditingKeysAlwaysTranslate)
{
    for (bool control : {false, true})
    {
        ExpectOne(VK_BACK, control, NK_KEY_BACKSPACE);
        ExpectOne(VK_TAB, control, NK_KEY_TAB);
        ExpectOne(VK_RETURN, control, NK_KEY_ENTER);
        ExpectOne(VK_SHIFT, control, NK_KEY_SHIFT);
        ExpectOne(VK_LSHIFT, control, NK_KEY_SHIFT);
        ExpectOne(VK_RSHIFT, control, NK_KEY_SHIFT);
        ExpectOne(VK_PRIOR, control, NK_KEY_SCROLL_UP);
        ExpectOne(VK_NEXT, control, NK_KEY_SCROLL_DOWN);
        ExpectOne(VK_DELETE, control, NK_KEY_DEL);
    }
}

TEST_F(KeyTableTest, HomeAndEndMoveTheTextFirstThenScroll)
{
    const NuklearKeys home = TranslateVirtualKey(VK_HOME, false);
    ASSERT_EQ(home.count, 2);
    EXPECT_EQ(home.keys[0], NK_KEY_TEXT_START);
    EXPECT_EQ(home.keys[1], NK_KEY_SCROLL_START);
    const NuklearKeys end = TranslateVirtualKey(VK_END, true);
    ASSERT_EQ(end.count, 2);
    EXPECT_EQ(end.keys[0], NK_KEY_TEXT_END);
    EXPECT_EQ(end.keys[1], NK_KEY_SCROLL_END);
}

TEST_F(KeyTableTest, ControlTurnsArrowsIntoWordMoves)
{
    ExpectOne(VK_LEFT, false, NK_KEY_LEFT);
    ExpectOne(VK_RIGHT, false, NK_KEY_RIGHT);
    ExpectOne(VK_LEFT, true, NK_KEY_TEXT_WORD_LEFT);
    ExpectOne(VK_RIGHT, true, NK_KEY_TEXT_WORD_RIGHT);
}

TEST_F(KeyTableTest, LettersTranslateOnlyWithControl)
{
    ExpectOne('A', true, NK_KEY_TEXT_SELECT_ALL);
    ExpectOne('C', true, NK_KEY_COPY);
    ExpectOne('R', true, NK_KEY_TEXT_REDO);
    ExpectOne('V', true, NK_KEY_PASTE);
    ExpectOne('X', true, NK_KEY_CUT);
    ExpectOne('Z', true, NK_KEY_TEXT_UNDO);
    for (unsigned letter : {'A', 'C', 'R', 'V', 'X', 'Z'})
        EXPECT_EQ(TranslateVirtualKey(letter, false).count, 0) << letter;
}

TEST_F(KeyTableTest, OtherKeysAreNotUsed)
{
    const unsigned unused[] = {VK_UP, VK_DOWN, VK_ESCAPE, VK_INSERT, VK_F1, 'B', '0', VK_CONTROL};
    for (unsigned key : unused)
    {
        EXPECT_EQ(TranslateVirtualKey(key, false).count, 0) << key;
        EXPECT_EQ(TranslateVirtualKey(key, true).count, 0) << key;
    }
}

class InputTranslationTest : public GuiTest::GuiWindowTest
{
protected:
    void SetUp() override
    {
        GuiWindowTest::SetUp();
        nk_input_begin(context);
    }

    int Key(unsigned virtualKey, bool down)
    {
        GraphMessage record{};
        record.message = static_cast<std::uint16_t>(down ? WM_KEYDOWN : WM_KEYUP);
        record.key.virtualKey = static_cast<unsigned char>(virtualKey);
        return HandleGraphMessage(window, &record);
    }

    int Character(std::uint16_t character)
    {
        GraphMessage record{};
        record.message = WM_CHAR;
        record.character = character;
        return HandleGraphMessage(window, &record);
    }

    int Mouse(UINT message, int x, int y, int wheel = 0)
    {
        GraphMessage record{};
        record.message = static_cast<std::uint16_t>(message);
        record.mouse.x = static_cast<std::int16_t>(x);
        record.mouse.y = static_cast<std::int16_t>(y);
        record.mouse.wheel = static_cast<std::int16_t>(wheel);
        return HandleGraphMessage(window, &record);
    }

    const nk_key& KeyState(nk_keys key) const { return context->input.keyboard.keys[key]; }
    const nk_mouse_button& Button(nk_buttons button) const { return context->input.mouse.buttons[button]; }

    HWND CaptureOnWindowThread() const
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
            return reinterpret_cast<HWND>(-1);
        return info.hwndCapture;
    }
};

TEST_F(InputTranslationTest, KeyRecordsSetNuklearKeyStates)
{
    EXPECT_EQ(Key(VK_RETURN, true), 1);
    EXPECT_EQ(KeyState(NK_KEY_ENTER).down, 1);
    EXPECT_EQ(Key(VK_RETURN, false), 1);
    EXPECT_EQ(KeyState(NK_KEY_ENTER).down, 0);
    EXPECT_EQ(KeyState(NK_KEY_ENTER).clicked, 2u);
}

TEST_F(InputTranslationTest, HomeSendsTwoKeysWithTheSameState)
{
    EXPECT_EQ(Key(VK_HOME, true), 1);
    EXPECT_EQ(KeyState(NK_KEY_TEXT_START).down, 1);
    EXPECT_EQ(KeyState(NK_KEY_SCROLL_START).down, 1);
    EXPECT_EQ(Key(VK_END, true), 1);
    EXPECT_EQ(KeyState(NK_KEY_TEXT_END).down, 1);
    EXPECT_EQ(KeyState(NK_KEY_SCROLL_END).down, 1);
}

TEST_F(InputTranslationTest, LettersWithoutControlAreIgnored)
{
    EXPECT_EQ(Key('C', true), 0);
    EXPECT_EQ(Key('V', true), 0);
    EXPECT_EQ(KeyState(NK_KEY_COPY).clicked, 0u);
    EXPECT_EQ(KeyState(NK_KEY_PASTE).clicked, 0u);
    EXPECT_EQ(Key(VK_LEFT, true), 1);
    EXPECT_EQ(KeyState(NK_KEY_LEFT).down, 1);
    EXPECT_EQ(KeyState(NK_KEY_TEXT_WORD_LEFT).clicked, 0u);
}

TEST_F(InputTranslationTest, ControlIsTrackedFromTheControlKeyRecords)
{
    EXPECT_EQ(Key(VK_CONTROL, true), 0);
    EXPECT_EQ(KeyState(NK_KEY_CTRL).clicked, 0u);
    EXPECT_EQ(Key('C', true), 1);
    EXPECT_EQ(KeyState(NK_KEY_COPY).down, 1);
    EXPECT_EQ(Key(VK_LEFT, true), 1);
    EXPECT_EQ(KeyState(NK_KEY_TEXT_WORD_LEFT).down, 1);
    EXPECT_EQ(Key(VK_CONTROL, false), 0);
    EXPECT_EQ(Key('V', true), 0);
    EXPECT_EQ(KeyState(NK_KEY_PASTE).clicked, 0u);

    EXPECT_EQ(Key(VK_RCONTROL, true), 0);
    EXPECT_EQ(Key('Z', true), 1);
    EXPECT_EQ(KeyState(NK_KEY_TEXT_UNDO).down, 1);
    EXPECT_EQ(Key(VK_RCONTROL, false), 0);
    EXPECT_EQ(Key(VK_LCONTROL, true), 0);
    EXPECT_EQ(Key('A', true), 1);
    EXPECT_EQ(KeyState(NK_KEY_TEXT_SELECT_ALL).down, 1);
}

TEST_F(InputTranslationTest, DeactivationForgetsAHeldControl)
{
    Key(VK_CONTROL, true);
    GraphMessage record{};
    record.message = WM_ACTIVATE;
    record.window.wParam = WA_INACTIVE;
    EXPECT_EQ(HandleGraphMessage(window, &record), 0);
    EXPECT_EQ(Key('C', true), 0);
    EXPECT_EQ(KeyState(NK_KEY_COPY).clicked, 0u);
}

TEST_F(InputTranslationTest, PrintableCharactersBecomeText)
{
    EXPECT_EQ(Character('a'), 1);
    EXPECT_EQ(Character(0x5B89), 1); // 安
    EXPECT_EQ(context->input.keyboard.text_len, 4);
    EXPECT_EQ(std::string(context->input.keyboard.text, 4), "a安");
}

TEST_F(InputTranslationTest, ControlCharactersAreIgnored)
{
    EXPECT_EQ(Character(13), 0);
    EXPECT_EQ(Character(8), 0);
    EXPECT_EQ(Character(9), 0);
    EXPECT_EQ(context->input.keyboard.text_len, 0);
}

TEST_F(InputTranslationTest, MotionMovesThePointer)
{
    EXPECT_EQ(Mouse(WM_MOUSEMOVE, 120, 45), 1);
    EXPECT_EQ(context->input.mouse.pos.x, 120.0f);
    EXPECT_EQ(context->input.mouse.pos.y, 45.0f);
}

TEST_F(InputTranslationTest, LeftReleaseEndsTheDoubleClickAndTheLeftButton)
{
    EXPECT_EQ(Mouse(WM_LBUTTONDOWN, 10, 20), 1);
    EXPECT_EQ(Mouse(WM_LBUTTONDBLCLK, 10, 20), 1);
    EXPECT_EQ(Button(NK_BUTTON_LEFT).down, 1);
    EXPECT_EQ(Button(NK_BUTTON_DOUBLE).down, 1);
    EXPECT_EQ(Mouse(WM_LBUTTONUP, 30, 40), 1);
    EXPECT_EQ(Button(NK_BUTTON_DOUBLE).down, 0);
    EXPECT_EQ(Button(NK_BUTTON_DOUBLE).clicked_pos.x, 30.0f);
    EXPECT_EQ(Button(NK_BUTTON_DOUBLE).clicked_pos.y, 40.0f);
    EXPECT_EQ(Button(NK_BUTTON_LEFT).down, 0);
    EXPECT_EQ(Button(NK_BUTTON_LEFT).clicked_pos.x, 30.0f);
    EXPECT_EQ(Button(NK_BUTTON_LEFT).clicked, 2u);
}

TEST_F(InputTranslationTest, RightAndMiddleButtonsPressAndRelease)
{
    EXPECT_EQ(Mouse(WM_RBUTTONDOWN, 5, 6), 1);
    EXPECT_EQ(Button(NK_BUTTON_RIGHT).down, 1);
    EXPECT_EQ(Mouse(WM_MBUTTONDOWN, 7, 8), 1);
    EXPECT_EQ(Button(NK_BUTTON_MIDDLE).down, 1);
    EXPECT_EQ(Button(NK_BUTTON_MIDDLE).clicked_pos.x, 7.0f);
    EXPECT_EQ(Mouse(WM_RBUTTONUP, 5, 6), 1);
    EXPECT_EQ(Mouse(WM_MBUTTONUP, 7, 8), 1);
    EXPECT_EQ(Button(NK_BUTTON_RIGHT).down, 0);
    EXPECT_EQ(Button(NK_BUTTON_MIDDLE).down, 0);
}

TEST_F(InputTranslationTest, RightAndMiddleDoubleClicksAreIgnored)
{
    EXPECT_EQ(Mouse(WM_RBUTTONDBLCLK, 5, 6), 0);
    EXPECT_EQ(Mouse(WM_MBUTTONDBLCLK, 5, 6), 0);
    EXPECT_EQ(Button(NK_BUTTON_RIGHT).clicked, 0u);
    EXPECT_EQ(Button(NK_BUTTON_MIDDLE).clicked, 0u);
    EXPECT_EQ(Button(NK_BUTTON_DOUBLE).clicked, 0u);
}

TEST_F(InputTranslationTest, WheelScrollsByNotchesUnrounded)
{
    EXPECT_EQ(Mouse(WM_MOUSEWHEEL, 0, 0, -120), 1);
    EXPECT_EQ(context->input.mouse.scroll_delta.y, -1.0f);
    EXPECT_EQ(Mouse(WM_MOUSEWHEEL, 0, 0, 60), 1);
    EXPECT_EQ(context->input.mouse.scroll_delta.y, -0.5f);
    EXPECT_EQ(context->input.mouse.scroll_delta.x, 0.0f);
}

TEST_F(InputTranslationTest, HighResolutionWheelStepScrollsHalfANotch)
{
    EXPECT_EQ(Mouse(WM_MOUSEWHEEL, 0, 0, 60), 1);
    EXPECT_EQ(context->input.mouse.scroll_delta.y, 0.5f);
}

TEST_F(InputTranslationTest, WindowAndUnknownRecordsAreIgnored)
{
    const unsigned ignored[] = {WM_MOVE, WM_SIZE, WM_ACTIVATE, WM_NULL, WM_PAINT};
    for (unsigned message : ignored)
    {
        GraphMessage record{};
        record.message = static_cast<std::uint16_t>(message);
        record.window.wParam = WA_ACTIVE;
        EXPECT_EQ(HandleGraphMessage(window, &record), 0) << message;
    }
    EXPECT_EQ(HandleGraphMessage(window, nullptr), 0);
}

TEST_F(InputTranslationTest, HeldButtonCapturesTheMouseOnTheWindowThread)
{
    EXPECT_EQ(CaptureOnWindowThread(), nullptr);
    Mouse(WM_LBUTTONDOWN, 10, 10);
    EXPECT_EQ(CaptureOnWindowThread(), window);
    Mouse(WM_LBUTTONUP, 10, 10);
    EXPECT_EQ(CaptureOnWindowThread(), nullptr);
    Mouse(WM_RBUTTONDOWN, 10, 10);
    EXPECT_EQ(CaptureOnWindowThread(), window);
    Mouse(WM_RBUTTONUP, 10, 10);
    EXPECT_EQ(CaptureOnWindowThread(), nullptr);
}

// A quick second click on the wizard's window (opened with flags 0, so its class has no CS_DBLCLKS) is an
// ordinary press: the queue holds two presses and two releases and no double-click record.
TEST_F(InputTranslationTest, WizardWindowProducesNoDoubleClickRecords)
{
    EXPECT_EQ(GetClassLongW(window, GCL_STYLE) & CS_DBLCLKS, 0u);
    GraphMessage record{};
    while (PollGraphMessage(&record, 255, true))
    {
    }
    POINT at = {200, 150};
    ClientToScreen(window, &at);
    SetCursorPos(at.x, at.y);
    INPUT clicks[4] = {};
    const DWORD flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                            MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 4; ++i)
    {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = flags[i];
    }
    ASSERT_EQ(SendInput(4, clicks, sizeof(INPUT)), 4u);
    int presses = 0;
    int releases = 0;
    int doubleClicks = 0;
    // The clicks go through the system (under Wine the X server) before they reach the window: poll until
    // the second release arrived, however long a busy machine takes.
    for (const ULONGLONG deadline = GetTickCount64() + 20000; releases < 2 && GetTickCount64() < deadline;)
    {
        if (!PollGraphMessage(&record, CAT_MOUSE, true))
        {
            Sleep(1);
            continue;
        }
        presses += record.message == WM_LBUTTONDOWN ? 1 : 0;
        releases += record.message == WM_LBUTTONUP ? 1 : 0;
        doubleClicks += record.message == WM_LBUTTONDBLCLK ? 1 : 0;
    }
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(releases, 2);
    EXPECT_EQ(doubleClicks, 0);
}
} // namespace
