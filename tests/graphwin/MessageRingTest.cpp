// The input queue end to end: real messages sent to the graph window, records polled on this thread.
#include "WindowPixels.h"

#include "graphwin/gravo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <thread>
#include <vector>

namespace
{
class MessageRingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = GravoTest::OpenQuietGraphWindow(200, 150);
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override { CloseGraphWindow(); }

    // SendMessageW returns once the window procedure has queued the record.
    void Send(UINT message, WPARAM wParam, LPARAM lParam) { SendMessageW(window, message, wParam, lParam); }

    static bool AllZero(const void* bytes, size_t from, size_t to)
    {
        for (size_t i = from; i < to; ++i)
        {
            if (static_cast<const unsigned char*>(bytes)[i] != 0)
            {
                return false;
            }
        }
        return true;
    }

    HWND window = nullptr;
};

TEST_F(MessageRingTest, EmptyRingGivesNothingAndLeavesTheRecord)
{
    GraphMessage record;
    record.message = 4711;
    EXPECT_FALSE(PollGraphMessage(&record, 255, true));
    EXPECT_EQ(record.message, 4711);
}

TEST_F(MessageRingTest, MouseRecordCarriesButtonsAndPosition)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL | MK_RBUTTON, MAKELPARAM(12, 34));
    GraphMessage record;
    ASSERT_TRUE(PollGraphMessage(&record, 255, true));
    EXPECT_EQ(record.message, WM_LBUTTONDOWN);
    EXPECT_EQ(record.mouse.ctrl, 1);
    EXPECT_EQ(record.mouse.shift, 0);
    EXPECT_EQ(record.mouse.leftButton, 1);
    EXPECT_EQ(record.mouse.middleButton, 0);
    EXPECT_EQ(record.mouse.rightButton, 1);
    EXPECT_EQ(record.mouse.x, 12);
    EXPECT_EQ(record.mouse.y, 34);
    EXPECT_EQ(record.mouse.wheel, 0);
    // The flag byte uses five bits; the byte after it and the padding after the message stay zero.
    unsigned char flags = 0;
    std::memcpy(&flags, &record.mouse, 1);
    EXPECT_EQ(flags, 0x01 | 0x04 | 0x10);
    EXPECT_TRUE(AllZero(&record, 2, offsetof(GraphMessage, mouse)));
    EXPECT_TRUE(AllZero(&record.mouse, 1, offsetof(GraphMouse, x)));
}

TEST_F(MessageRingTest, NegativeClientCoordinatesStaySigned)
{
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(-5, -7));
    GraphMessage record;
    ASSERT_TRUE(PollGraphMessage(&record, CAT_MOUSE, true));
    EXPECT_EQ(record.mouse.x, -5);
    EXPECT_EQ(record.mouse.y, -7);
}

TEST_F(MessageRingTest, WheelPositionIsConvertedToClientCoordinates)
{
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-WHEEL_DELTA)),
         MAKELPARAM(origin.x + 30, origin.y + 40));
    GraphMessage record;
    ASSERT_TRUE(PollGraphMessage(&record, 255, true));
    EXPECT_EQ(record.message, WM_MOUSEWHEEL);
    EXPECT_EQ(record.mouse.x, 30);
    EXPECT_EQ(record.mouse.y, 40);
    EXPECT_EQ(record.mouse.wheel, -WHEEL_DELTA);
    EXPECT_EQ(record.mouse.shift, 1);
}

TEST_F(MessageRingTest, SystemKeysAreQueuedAsPlainKeys)
{
    // Alt going down: scan code 0x38, a repeat (bit 30), context code (bit 29).
    Send(WM_SYSKEYDOWN, VK_MENU, 0x60380001);
    Send(WM_SYSKEYUP, VK_MENU, static_cast<LPARAM>(0xC1380001u));
    GraphMessage down;
    GraphMessage up;
    ASSERT_TRUE(PollGraphMessage(&down, 255, true));
    ASSERT_TRUE(PollGraphMessage(&up, 255, true));
    EXPECT_EQ(down.message, 256);
    EXPECT_EQ(down.key.virtualKey, 18);
    EXPECT_EQ(down.key.scanCode, 0x38);
    EXPECT_EQ(down.key.extended, 0);
    EXPECT_EQ(down.key.previouslyDown, 1);
    EXPECT_EQ(up.message, 257);
    EXPECT_EQ(up.key.extended, 1);
    EXPECT_TRUE(AllZero(&down, offsetof(GraphMessage, key) + 3, sizeof down));
}

TEST_F(MessageRingTest, CharacterAndWindowRecords)
{
    Send(WM_CHAR, 0x4E2D, 1);
    GraphMessage record;
    ASSERT_TRUE(PollGraphMessage(&record, CAT_CHAR, true));
    EXPECT_EQ(record.message, WM_CHAR);
    EXPECT_EQ(record.character, 0x4E2D);
    EXPECT_TRUE(AllZero(&record, offsetof(GraphMessage, character) + 2, sizeof record));

    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 150));
    ASSERT_TRUE(PollGraphMessage(&record, CAT_WINDOW, true));
    EXPECT_EQ(record.message, WM_SIZE);
    EXPECT_EQ(record.window.wParam, static_cast<std::uint32_t>(SIZE_RESTORED));
    EXPECT_EQ(record.window.lParam, MAKELPARAM(200, 150));
}

TEST_F(MessageRingTest, SixtyThreeAreKeptAndTheSixtyFourthDropped)
{
    for (int i = 0; i < 64; ++i)
    {
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(i, 0));
    }
    GraphMessage record;
    for (int i = 0; i < 63; ++i)
    {
        ASSERT_TRUE(PollGraphMessage(&record, 255, true));
        EXPECT_EQ(record.mouse.x, i);
    }
    EXPECT_FALSE(PollGraphMessage(&record, 255, true));
}

TEST_F(MessageRingTest, FilteredPollDiscardsOtherCategoriesAhead)
{
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    Send(WM_KEYDOWN, 'A', 0x001E0001);
    GraphMessage record;
    ASSERT_TRUE(PollGraphMessage(&record, CAT_KEY, true));
    EXPECT_EQ(record.message, WM_KEYDOWN);
    EXPECT_EQ(record.key.virtualKey, 'A');
    EXPECT_FALSE(PollGraphMessage(&record, CAT_MOUSE, true));
}

TEST_F(MessageRingTest, ZeroFilterEmptiesTheRing)
{
    Send(WM_MOUSEMOVE, 0, 0);
    Send(WM_CHAR, 'x', 0);
    EXPECT_FALSE(PollGraphMessage(nullptr, 0, true));
    EXPECT_FALSE(PollGraphMessage(nullptr, 255, false));
}

TEST_F(MessageRingTest, PeekingTwiceGivesTheSameRecord)
{
    Send(WM_CHAR, 'a', 0);
    Send(WM_CHAR, 'b', 0);
    GraphMessage first;
    GraphMessage second;
    ASSERT_TRUE(PollGraphMessage(&first, 255, false));
    ASSERT_TRUE(PollGraphMessage(&second, 255, false));
    EXPECT_EQ(first.character, 'a');
    EXPECT_EQ(second.character, 'a');
    EXPECT_TRUE(PollGraphMessage(nullptr, 255, true));
    ASSERT_TRUE(PollGraphMessage(&first, 255, true));
    EXPECT_EQ(first.character, 'b');
}

TEST_F(MessageRingTest, FloodWhilePollingKeepsOrderWithoutDeadlock)
{
    const int count = 3000;
    const int marker = 77;
    std::atomic<bool> finished(false);
    std::thread sender(
        [&]
        {
            for (int i = 1; i <= count; ++i)
            {
                SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(i, marker));
            }
            finished = true;
        });
    // Records may be dropped while the ring is full, but never reordered.
    std::vector<int> seen;
    const DWORD start = GetTickCount();
    bool drained = false;
    while (!drained && GetTickCount() - start < 60000)
    {
        const bool senderDone = finished;
        GraphMessage record;
        bool any = false;
        while (PollGraphMessage(&record, CAT_MOUSE, true))
        {
            any = true;
            if (record.mouse.y == marker)
            {
                seen.push_back(record.mouse.x);
            }
        }
        drained = senderDone && !any;
    }
    const bool done = drained;
    sender.join();
    EXPECT_TRUE(done);
    ASSERT_FALSE(seen.empty());
    for (size_t i = 1; i < seen.size(); ++i)
    {
        ASSERT_LT(seen[i - 1], seen[i]);
    }
}

TEST_F(MessageRingTest, RecordsOutliveTheWindowThatQueuedThem)
{
    IMAGE keepsLibrary(1, 1);
    Send(WM_CHAR, 'z', 0);
    CloseGraphWindow();
    window = OpenGraphWindow(200, 150, 0);
    GraphMessage record;
    bool found = false;
    while (PollGraphMessage(&record, CAT_CHAR, true))
    {
        found = found || record.character == 'z';
    }
    EXPECT_TRUE(found);
}
} // namespace
