/* Asks the wizard's window to close, as its close box does: posts WM_CLOSE to the "GravoWnd" window. */
#include <windows.h>

int main(void)
{
    HWND window = FindWindowW(L"GravoWnd", NULL);
    if (window == NULL)
        return 1;
    return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 2;
}
