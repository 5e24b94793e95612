/* Talks to the wizard's "GravoWnd" window for the end-to-end tests:
 *   close            posts WM_CLOSE, as the window's close box does
 *   client-offset    prints where the client area starts inside the window, as "x y" */
#include <windows.h>

#include <stdio.h>

int wmain(int argc, wchar_t** argv)
{
    HWND window = FindWindowW(L"GravoWnd", NULL);
    if (window == NULL || argc < 2)
        return 1;
    if (lstrcmpW(argv[1], L"close") == 0)
        return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 2;
    if (lstrcmpW(argv[1], L"client-offset") == 0)
    {
        RECT outer;
        POINT origin = {0, 0};
        if (!GetWindowRect(window, &outer) || !ClientToScreen(window, &origin))
            return 2;
        printf("%ld %ld\n", origin.x - outer.left, origin.y - outer.top);
        return 0;
    }
    return 1;
}
