// Opens the graph window and waits. With "close" it closes the window itself and returns 7, which shows
// that only the close box ends the process; with "console" it reports whether its console came and went;
// with "draw" it measures and draws text on its main thread until the close box ends it; with
// "replace-console" it opens the window from a program that has a console and reports what became of it.
#include "graphwin/gravo.h"

#include <atomic>
#include <cwchar>
#include <string>
#include <vector>

namespace
{
// The program's own state with a destructor, as the wizard's fonts and text caches are, used on every turn
// of the main loop. Its destructor takes its time, as freeing fonts and caches may: had the close box run
// the static destructors under the live main thread, the loop sees it and the program ends with 4.
struct ProgramState
{
    std::vector<std::wstring> labels{L"Next >", L"Install", L"Uninstall", L"Choose the folder"};
    std::atomic<bool> alive{true};
    ~ProgramState()
    {
        alive = false;
        Sleep(500);
    }
};
ProgramState state;

int DrawUntilClosed()
{
    OpenGraphWindow(200, 100, 0);
    StartBatch();
    for (;;)
    {
        for (const std::wstring& label : state.labels)
        {
            if (!state.alive)
            {
                ExitProcess(4);
            }
            SetTextStyle(10 + TextWidth(label.c_str()) % 7, 0, L"Tahoma");
            TextAt(0, 0, label.c_str());
        }
        PresentBatch();
    }
}

bool SamePlace(HWND window, int left, int top)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect.left == left && rect.top == top;
}

// 0: the window took the console's place (a negative left edge raised to 0) and hid it, and the console came
// back where the window was last. 20: the system gave the console no window. 21 to 24: a step failed.
int ReplaceConsole()
{
    AllocConsole();
    HWND console = GetConsoleWindow();
    if (console == nullptr)
    {
        return 20;
    }
    ShowWindow(console, SW_SHOW);
    SetWindowPos(console, nullptr, -30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HWND window = OpenGraphWindow(200, 100, 0);
    if (!SamePlace(window, 0, 40))
    {
        return 21;
    }
    if (IsWindowVisible(console))
    {
        return 22;
    }
    SetWindowPos(window, nullptr, 70, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CloseGraphWindow();
    if (!IsWindowVisible(console))
    {
        return 23;
    }
    return SamePlace(console, 70, 90) ? 0 : 24;
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const wchar_t* commandLine = GetCommandLineW();
    if (std::wcsstr(commandLine, L" draw") != nullptr)
    {
        return DrawUntilClosed();
    }
    if (std::wcsstr(commandLine, L" replace-console") != nullptr)
    {
        return ReplaceConsole();
    }
    if (std::wcsstr(commandLine, L" console") != nullptr)
    {
        // 11: the open gave the program a console and the close took it away again.
        OpenGraphWindow(200, 100, OPEN_SHOW_CONSOLE);
        const bool made = GetConsoleCP() != 0;
        CloseGraphWindow();
        const bool freed = GetConsoleCP() == 0;
        return made && freed ? 11 : made ? 12 : 13;
    }
    OpenGraphWindow(200, 100, 0);
    if (std::wcsstr(commandLine, L" close") != nullptr)
    {
        CloseGraphWindow();
        return 7;
    }
    // The test sends WM_CLOSE long before this; 3 tells it that the close box did nothing.
    Sleep(60000);
    return 3;
}
