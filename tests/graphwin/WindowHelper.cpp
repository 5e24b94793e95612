// Opens the graph window and waits. With "close" it closes the window itself and returns 7, which shows
// that only the close box ends the process.
#include "graphwin/gravo.h"

#include <cwchar>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
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
