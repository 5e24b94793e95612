// Opens the graph window and waits. With "close" it closes the window itself and returns 7, which shows
// that only the close box ends the process; with "console" it reports whether its console came and went.
#include "graphwin/gravo.h"

#include <cwchar>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (std::wcsstr(GetCommandLineW(), L" console") != nullptr)
    {
        // 11: the open gave the program a console and the close took it away again.
        OpenGraphWindow(200, 100, OPEN_SHOW_CONSOLE);
        const bool made = GetConsoleCP() != 0;
        CloseGraphWindow();
        const bool freed = GetConsoleCP() == 0;
        return made && freed ? 11 : made ? 12 : 13;
    }
    OpenGraphWindow(200, 100, 0);
    if (std::wcsstr(GetCommandLineW(), L" close") != nullptr)
    {
        CloseGraphWindow();
        return 7;
    }
    // The test sends WM_CLOSE long before this; 3 tells it that the close box did nothing.
    Sleep(60000);
    return 3;
}
