// The input queue under a flood: a hundred thousand mouse moves posted to the graph window from another
// thread while this one polls. Records keep their order, the poller is never blocked, and records are lost
// only when the ring is full.
#include "WindowPixels.h"

#include "graphwin/Library.h"
#include "graphwin/gravo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{
constexpr int floodCount = 100000;
constexpr int ringRecords = 63;

// A move's sequence number in its position: x the low thousands, y from 100 up (the pointer is kept off
// the window, so the system's own moves never carry such a y).
LPARAM MoveOf(int sequence)
{
    return MAKELPARAM(sequence % 1000, 100 + sequence / 1000);
}

int SequenceOf(const GraphMessage& record)
{
    return record.mouse.y >= 100 ? (record.mouse.y - 100) * 1000 + record.mouse.x : -1;
}

class GraphWindowFlood : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = GravoTest::OpenQuietGraphWindow(200, 150);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { CloseGraphWindow(); }

    // Posts one move, waiting while the window's message queue is full.
    void Post(int sequence)
    {
        while (!PostMessageW(window, WM_MOUSEMOVE, 0, MoveOf(sequence)))
        {
            Sleep(1);
        }
    }
    // Polls every queued mouse record into seen; true when there was any.
    static bool Drain(std::vector<int>& seen)
    {
        GraphMessage record;
        bool any = false;
        while (PollGraphMessage(&record, CAT_MOUSE, true))
        {
            any = true;
            const int sequence = SequenceOf(record);
            if (sequence >= 0)
            {
                seen.push_back(sequence);
            }
        }
        return any;
    }

    HWND window = nullptr;
};

TEST_F(GraphWindowFlood, UnpacedFloodKeepsOrderAndEndsWithoutDeadlock)
{
    // The window thread forwards keys to the console window; a window of this thread stands in for it. A key
    // posted after the last move reaches it once the window thread has handled every move before it.
    HWND console = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(console, nullptr);
    Gravo::Lib().consoleWindow = console;
    std::thread sender(
        [&]
        {
            for (int i = 0; i < floodCount; ++i)
            {
                Post(i);
            }
            while (!PostMessageW(window, WM_KEYDOWN, 'Z', 0x002C0001))
            {
                Sleep(1);
            }
        });
    std::vector<int> seen;
    const DWORD start = GetTickCount();
    bool drained = false;
    MSG forwarded;
    while (!drained && GetTickCount() - start < 120000)
    {
        const bool any = Drain(seen);
        drained = PeekMessageW(&forwarded, console, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE) != FALSE;
        if (!any && !drained)
        {
            Sleep(0);
        }
    }
    // What the window thread queued before it forwarded the key.
    Drain(seen);
    sender.join();
    Gravo::Lib().consoleWindow = nullptr;
    DestroyWindow(console);
    EXPECT_TRUE(drained);
    ASSERT_FALSE(seen.empty());
    for (size_t i = 1; i < seen.size(); ++i)
    {
        ASSERT_LT(seen[i - 1], seen[i]) << i;
    }
    EXPECT_LE(seen.size(), static_cast<size_t>(floodCount));
}

TEST_F(GraphWindowFlood, FloodThatNeverFillsTheRingLosesNothing)
{
    // The sender posts one ring's worth and waits until the poller has taken all of it: the ring never
    // holds more than it can keep, so every record must arrive.
    std::atomic<int> taken(0);
    std::atomic<bool> stop(false);
    std::thread sender(
        [&]
        {
            for (int i = 0; i < floodCount && !stop; i += ringRecords)
            {
                const int end = i + ringRecords < floodCount ? i + ringRecords : floodCount;
                for (int j = i; j < end; ++j)
                {
                    Post(j);
                }
                while (taken < end && !stop)
                {
                    Sleep(0);
                }
            }
        });
    std::vector<int> seen;
    const DWORD start = GetTickCount();
    while (seen.size() < static_cast<size_t>(floodCount) && GetTickCount() - start < 120000)
    {
        if (!Drain(seen))
        {
            Sleep(0);
        }
        taken = static_cast<int>(seen.size());
    }
    stop = true;
    sender.join();
    ASSERT_EQ(seen.size(), static_cast<size_t>(floodCount));
    for (int i = 0; i < floodCount; ++i)
    {
        ASSERT_EQ(seen[i], i);
    }
}

} // namespace
