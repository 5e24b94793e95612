// The graph window: its class, style and size, what reaches the screen with and without batch drawing,
// reopening, teardown without leaks, and the close box ending the process.
#include "WindowPixels.h"

#include "graphwin/Library.h"
#include "graphwin/gravo.h"
#include "support/Wine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace
{
using GravoTest::WaitFor;
using GravoTest::WindowPixel;

const DWORD red = 0xFF0000;
const DWORD green = 0x00FF00;
const DWORD blue = 0x0000FF;

class GraphWndTest : public ::testing::Test
{
protected:
    void TearDown() override { CloseGraphWindow(); }

    void PaintBackBuffer(COLORREF colour)
    {
        SetBackColour(colour);
        ClearTarget();
    }

    // The window that has the mouse captured on the thread that owns window.
    static HWND CaptureOfThreadOf(HWND window)
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
        return info.hwndCapture;
    }
};

TEST_F(GraphWndTest, OpenMakesTheWizardsWindow)
{
    HWND window = OpenGraphWindow(490, 328, 0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GraphWindowHandle(), window);
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    EXPECT_STREQ(name, L"GravoWnd");
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    // The system adds WS_VISIBLE and WS_CLIPSIBLINGS to every shown top-level window.
    EXPECT_EQ(static_cast<DWORD>(style) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x00CA0000u);
    EXPECT_TRUE(IsWindowVisible(window));
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 490);
    EXPECT_EQ(client.bottom, 328);
    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"graphwin_tests");
    EXPECT_EQ(TargetWidth(), 490);
    EXPECT_EQ(TargetHeight(), 328);
    EXPECT_EQ(TargetPixels(nullptr)[0], 0u);
    EXPECT_EQ(WindowPixel(window, 0, 0), 0u);
    EXPECT_EQ(WindowPixel(window, 489, 327), 0u);
}

TEST_F(GraphWndTest, FlagsChooseClassAndWindowStyles)
{
    HWND window = OpenGraphWindow(300, 200, OPEN_NO_CLOSE | OPEN_NO_MINIMIZE | OPEN_DOUBLE_CLICKS);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS),
              0x00C80000u);
    const DWORD classStyle = GetClassLongW(window, GCL_STYLE);
    EXPECT_EQ(classStyle & (CS_NOCLOSE | CS_DBLCLKS), static_cast<DWORD>(CS_NOCLOSE | CS_DBLCLKS));
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
}

TEST_F(GraphWndTest, WithoutBatchTheWindowThreadRepaints)
{
    HWND window = OpenGraphWindow(120, 90, 0);
    PaintBackBuffer(RGB(0, 0, 255));
    EXPECT_TRUE(WaitFor([&] { return WindowPixel(window, 60, 45) == blue; }));
}

TEST_F(GraphWndTest, InBatchModeNothingReachesTheWindowUntilPresented)
{
    HWND window = OpenGraphWindow(120, 90, 0);
    StartBatch();
    PaintBackBuffer(RGB(255, 0, 0));
    // Once several automatic repaints (every 17 ms) would have been due, the window thread is made to go
    // round its loop: each message sent to it returns once handled, so after the second it has passed the
    // point where it repaints when not batching.
    const DWORD painted = GetTickCount();
    WaitFor([&] { return GetTickCount() - painted > 100; });
    SendMessageW(window, WM_NULL, 0, 0);
    SendMessageW(window, WM_NULL, 0, 0);
    EXPECT_EQ(WindowPixel(window, 60, 45), 0u);
    PresentBatch();
    EXPECT_EQ(WindowPixel(window, 60, 45), red);
    PaintBackBuffer(RGB(0, 255, 0));
    StopBatch();
    EXPECT_EQ(WindowPixel(window, 60, 45), green);
}

TEST_F(GraphWndTest, AfterStopBatchTheWindowThreadRepaintsAgain)
{
    HWND window = OpenGraphWindow(120, 90, 0);
    StartBatch();
    StopBatch();
    // The window thread waited for messages while batching; nothing but its own repaint shows this.
    PaintBackBuffer(RGB(0, 0, 255));
    EXPECT_TRUE(WaitFor([&] { return WindowPixel(window, 60, 45) == blue; }));
}

TEST_F(GraphWndTest, CaptureReleaseAndCloseAreServedWhileBatching)
{
    HWND window = OpenGraphWindow(120, 90, 0);
    StartBatch();
    RequestMouseCapture();
    EXPECT_EQ(CaptureOfThreadOf(window), window);
    RequestMouseRelease();
    EXPECT_EQ(CaptureOfThreadOf(window), nullptr);
    CloseGraphWindow();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(GraphWndTest, InvalidatedWhileBatchingAsksForOnePresent)
{
    HWND window = GravoTest::OpenQuietGraphWindow(120, 90);
    ASSERT_NE(window, nullptr);
    StartBatch();
    // What showing the window may have asked for is not the point here.
    TakePresentRequest();
    InvalidateRect(window, nullptr, FALSE);
    // Returns once the window thread has handled WM_PAINT.
    UpdateWindow(window);
    EXPECT_TRUE(TakePresentRequest());
    EXPECT_FALSE(TakePresentRequest());
}

TEST_F(GraphWndTest, MovedWhileBatchingAsksForAPresent)
{
    HWND window = GravoTest::OpenQuietGraphWindow(120, 90);
    ASSERT_NE(window, nullptr);
    StartBatch();
    TakePresentRequest();
    SetWindowPos(window, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitFor([] { return TakePresentRequest(); }));
}

TEST_F(GraphWndTest, WithoutBatchTheWindowThreadShowsItselfAndAsksNothing)
{
    HWND window = GravoTest::OpenQuietGraphWindow(120, 90);
    ASSERT_NE(window, nullptr);
    TakePresentRequest();
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_FALSE(TakePresentRequest());
}

TEST_F(GraphWndTest, PresentBatchRectCopiesOnlyItsRectangleInclusive)
{
    HWND window = OpenGraphWindow(120, 90, 0);
    StartBatch();
    PaintBackBuffer(RGB(255, 0, 0));
    PresentBatchRect(10, 10, 20, 20);
    EXPECT_EQ(WindowPixel(window, 10, 10), red);
    EXPECT_EQ(WindowPixel(window, 20, 20), red);
    EXPECT_EQ(WindowPixel(window, 21, 21), 0u);
    EXPECT_EQ(WindowPixel(window, 60, 45), 0u);
    StopBatchRect(0, 0, 119, 89);
    EXPECT_EQ(WindowPixel(window, 60, 45), red);
}

TEST_F(GraphWndTest, DrawingOnTheWindowDeviceGoesToTheBackBuffer)
{
    OpenGraphWindow(120, 90, 0);
    SetFillColour(RGB(0, 255, 0));
    RectSolid(0, 0, 9, 9);
    EXPECT_EQ(TargetPixels(nullptr)[5 * 120 + 5], green);
    IMAGE image(10, 10);
    SelectTarget(&image);
    EXPECT_EQ(TargetWidth(), 10);
    SelectTarget(nullptr);
    EXPECT_EQ(TargetWidth(), 120);
}

TEST_F(GraphWndTest, UnderTheDrawingLockNoShapeIsSeenHalfDrawn)
{
    OpenGraphWindow(120, 90, 0);
    StartBatch();
    HDC backBuffer = Gravo::Lib().targetMemoryDc;
    // Stands in for the window thread's present: under the drawing lock it looks at what the back buffer's
    // DC holds. The outline draws with no brush and the solid with no pen for a moment; neither may show.
    std::atomic<bool> drawing(true);
    std::atomic<int> halfDrawn(0);
    std::thread presenter(
        [&]
        {
            while (drawing)
            {
                Gravo::ScopedLock lock(Gravo::Lib().drawingLock);
                LOGBRUSH brush = {};
                GetObjectW(GetCurrentObject(backBuffer, OBJ_BRUSH), sizeof brush, &brush);
                EXTLOGPEN pen = {};
                HGDIOBJ penObject = GetCurrentObject(backBuffer, OBJ_PEN);
                const bool nullPen = GetObjectType(penObject) == OBJ_EXTPEN &&
                                     GetObjectW(penObject, sizeof pen, &pen) != 0 &&
                                     (pen.elpPenStyle & PS_STYLE_MASK) == PS_NULL;
                if (brush.lbStyle == BS_NULL || nullPen)
                {
                    ++halfDrawn;
                }
            }
        });
    for (int i = 0; i < 2000; ++i)
    {
        RectOutline(10, 10, 50, 50);
        RectSolid(60, 10, 100, 50);
    }
    drawing = false;
    presenter.join();
    EXPECT_EQ(halfDrawn, 0);
}

TEST_F(GraphWndTest, SecondOpenReplacesTheFirstWindow)
{
    HWND first = OpenGraphWindow(120, 90, 0);
    HWND second = OpenGraphWindow(200, 100, 0);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(second));
    EXPECT_EQ(GraphWindowHandle(), second);
    EXPECT_EQ(FindWindowW(L"GravoWnd", nullptr), second);
    EXPECT_EQ(TargetWidth(), 200);
    EXPECT_EQ(WindowPixel(second, 150, 50), 0u);
}

TEST_F(GraphWndTest, CloseDestroysTheWindowAndKeepsTheProcess)
{
    HWND window = OpenGraphWindow(120, 90, 0);
    CloseGraphWindow();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GraphWindowHandle(), nullptr);
    EXPECT_EQ(FindWindowW(L"GravoWnd", nullptr), nullptr);
    // A close without an open window is harmless.
    CloseGraphWindow();
}

TEST_F(GraphWndTest, MouseCaptureIsTakenOnTheWindowThread)
{
    HWND window = OpenGraphWindow(120, 90, 0);
    RequestMouseCapture();
    EXPECT_EQ(CaptureOfThreadOf(window), window);
    RequestMouseRelease();
    EXPECT_EQ(CaptureOfThreadOf(window), nullptr);
}

TEST_F(GraphWndTest, KeysButCancelAreForwardedToTheConsole)
{
    HWND window = GravoTest::OpenQuietGraphWindow(120, 90);
    ASSERT_NE(window, nullptr);
    // A test program under Wine has a console without a window: a window of this thread stands in for the
    // console window and keeps what the window thread posts to it.
    HWND console = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(console, nullptr);
    Gravo::Lib().consoleWindow = console;
    // SendMessageW returns once the window procedure has posted what it forwards.
    SendMessageW(window, WM_KEYDOWN, VK_CANCEL, 0x00460001);
    SendMessageW(window, WM_KEYDOWN, 'A', 0x001E0001);
    SendMessageW(window, WM_SYSKEYDOWN, VK_CANCEL, 0x20460001);
    SendMessageW(window, WM_SYSKEYUP, VK_MENU, 0xE0380001);
    SendMessageW(window, WM_KEYUP, VK_CANCEL, 0xC0460001);
    Gravo::Lib().consoleWindow = nullptr;

    std::vector<std::pair<UINT, WPARAM>> forwarded;
    MSG message;
    while (PeekMessageW(&message, console, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE))
    {
        forwarded.emplace_back(message.message, message.wParam);
    }
    const std::vector<std::pair<UINT, WPARAM>> expected = {{WM_KEYDOWN, 'A'}, {WM_SYSKEYUP, VK_MENU}};
    EXPECT_EQ(forwarded, expected);
    DestroyWindow(console);

    // The queue still gets every key, the cancel key included.
    std::vector<int> queued;
    GraphMessage record;
    while (PollGraphMessage(&record, CAT_KEY, true))
    {
        queued.push_back(record.key.virtualKey);
    }
    const std::vector<int> allKeys = {VK_CANCEL, 'A', VK_CANCEL, VK_MENU, VK_CANCEL};
    EXPECT_EQ(queued, allKeys);
}

// One cycle of the wizard's life: open, draw in batch, present, close. Returns the GDI objects of the back
// buffer (its DC and what was selected into it, stock objects aside) as they were before the close.
std::vector<HGDIOBJ> OpenDrawClose()
{
    HWND window = OpenGraphWindow(490, 328, 0);
    EXPECT_NE(window, nullptr);
    StartBatch();
    SetFillColour(RGB(255, 0, 0));
    SetLineStyle(PS_DASH, 3);
    RectFilled(10, 10, 100, 100);
    PresentBatch();
    StopBatch();
    HDC backBuffer = Gravo::Lib().targetMemoryDc;
    std::vector<HGDIOBJ> objects = {backBuffer};
    for (UINT kind : {OBJ_BITMAP, OBJ_PEN, OBJ_BRUSH, OBJ_FONT})
    {
        HGDIOBJ selected = GetCurrentObject(backBuffer, kind);
        if (!GravoTest::IsStockObject(selected))
        {
            objects.push_back(selected);
        }
    }
    CloseGraphWindow();
    EXPECT_FALSE(IsWindow(window));
    return objects;
}

TEST_F(GraphWndTest, HundredOpenCloseCyclesReleaseTheBackBuffersObjects)
{
    for (int i = 0; i < 100; ++i)
    {
        const std::vector<HGDIOBJ> objects = OpenDrawClose();
        ASSERT_GE(objects.size(), 3u) << "the back buffer's DC, bitmap and dashed pen";
        // Checked before the next cycle can make an object under a freed handle's value.
        for (HGDIOBJ object : objects)
        {
            ASSERT_EQ(GetObjectType(object), 0u) << "cycle " << i << ": a GDI object outlived its window";
        }
    }
}

// What the cycles might leak beyond the back buffer (the window thread's handles, events, DCs) shows only in
// the process's counts.
TEST_F(GraphWndTest, HundredOpenCloseCyclesKeepTheProcessHandleAndGdiCounts)
{
    if (TestSupport::RunningUnderWine())
    {
        GTEST_SKIP() << "Wine keeps no handle or GDI object count (GetProcessHandleCount and GetGuiResources "
                        "answer 0); on Windows this shows that a hundred open-draw-close cycles leave both "
                        "counts where they were";
    }
    // The first cycles load what stays loaded (GDI+, fonts).
    OpenDrawClose();
    OpenDrawClose();
    DWORD handlesBefore = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesBefore));
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    ASSERT_GT(gdiBefore, 0u);
    for (int i = 0; i < 100; ++i)
    {
        OpenDrawClose();
    }
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(handlesAfter, handlesBefore + 5);
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore + 5);
}

class WindowHelperProcess : public ::testing::Test
{
protected:
    ~WindowHelperProcess() override { Finish(); }

    // Ends the helper if it still runs and lets go of it.
    void Finish()
    {
        if (process.hProcess != nullptr)
        {
            TerminateProcess(process.hProcess, 99);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        process = PROCESS_INFORMATION();
    }

    // With a position, the helper's starter asks for it as the place of the helper's first window.
    void Start(const std::wstring& argument, const POINT* position = nullptr)
    {
        Finish();
        wchar_t path[MAX_PATH] = L"";
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring helper = path;
        helper.erase(helper.rfind(L'\\') + 1);
        helper += GRAVO_WINDOW_HELPER;
        std::wstring commandLine = L"\"" + helper + L"\" " + argument;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        if (position != nullptr)
        {
            startup.dwFlags = STARTF_USEPOSITION;
            startup.dwX = static_cast<DWORD>(position->x);
            startup.dwY = static_cast<DWORD>(position->y);
        }
        // Detached: like a GUI program started from the shell, the helper has no console of its own.
        ASSERT_TRUE(CreateProcessW(helper.c_str(), &commandLine[0], nullptr, nullptr, FALSE, DETACHED_PROCESS,
                                   nullptr, nullptr, &startup, &process));
    }

    HWND FindHelperWindow()
    {
        HWND found = nullptr;
        WaitFor(
            [&]
            {
                found = nullptr;
                for (HWND w = FindWindowW(L"GravoWnd", nullptr); w != nullptr;
                     w = FindWindowExW(nullptr, w, L"GravoWnd", nullptr))
                {
                    DWORD owner = 0;
                    GetWindowThreadProcessId(w, &owner);
                    if (owner == process.dwProcessId)
                    {
                        found = w;
                    }
                }
                return found != nullptr;
            },
            20000);
        return found;
    }

    DWORD WaitForExit()
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        {
            GetExitCodeProcess(process.hProcess, &code);
        }
        return code;
    }

    PROCESS_INFORMATION process = {};
};

TEST_F(WindowHelperProcess, CloseBoxEndsTheProgramWithStatusZero)
{
    Start(L"wait");
    HWND window = FindHelperWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 0u);
}

TEST_F(WindowHelperProcess, CloseBoxWhileTheMainThreadDrawsEndsWithStatusZeroEveryTime)
{
    // The helper measures and draws text in a tight loop with state that static destructors would free.
    for (int round = 0; round < 30; ++round)
    {
        Start(L"draw");
        HWND window = FindHelperWindow();
        ASSERT_NE(window, nullptr) << "round " << round;
        if (round % 2 == 0)
        {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        else
        {
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        ASSERT_EQ(WaitForExit(), 0u) << "round " << round;
    }
}

TEST_F(WindowHelperProcess, WindowWithoutConsoleTakesTheSystemsDefaultPosition)
{
    // The system's default place for a program's first window is the one its starter asked for; any place
    // the library chose itself would differ.
    const POINT asked = {123, 77};
    Start(L"wait", &asked);
    HWND window = FindHelperWindow();
    ASSERT_NE(window, nullptr);
    RECT outer = {};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, asked.x);
    EXPECT_EQ(outer.top, asked.y);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 0u);
}

TEST_F(WindowHelperProcess, WindowTakesTheConsolesPlaceAndGivesItBackOnClose)
{
    // The detached helper allocates a console of its own before it opens the window (see WindowHelper.cpp
    // for the codes).
    Start(L"replace-console");
    EXPECT_EQ(WaitForExit(), 0u);
}

TEST_F(WindowHelperProcess, CloseGraphWindowLetsTheProgramGoOn)
{
    Start(L"close");
    EXPECT_EQ(WaitForExit(), 7u);
}
TEST_F(WindowHelperProcess, ShowConsoleGivesAConsoleThatTheCloseFrees)
{
    Start(L"console");
    EXPECT_EQ(WaitForExit(), 11u);
}
} // namespace
