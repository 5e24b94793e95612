#include "WindowPixels.h"

#include "graphwin/gravo.h"

namespace GravoTest
{
HWND OpenQuietGraphWindow(int width, int height)
{
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    HWND window = OpenGraphWindow(width, height, 0);
    if (window == nullptr)
        return nullptr;
    // Showing the window activates and focuses it, under X11 asynchronously. Once its thread reports it
    // active and focused, a message sent to it returns after the thread has handled what came before, and
    // the queue is drained.
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    WaitFor(
        [&]
        {
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(thread, &info) && info.hwndActive == window && info.hwndFocus == window;
        },
        20000);
    SendMessageW(window, WM_NULL, 0, 0);
    while (PollGraphMessage(nullptr, 255, true))
    {
    }
    return window;
}

std::vector<DWORD> WindowPixels(HWND window, int width, int height)
{
    // PrintWindow would ask the window to draw itself, and the graph window draws nothing on WM_PAINT;
    // a copy from its DC reads what the last BitBlt left on the window surface, under Wine as on Windows.
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height, 0xDEADBEEF);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC copyDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(copyDc, bitmap);
    BitBlt(copyDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD* words = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i)
    {
        pixels[i] = words[i] & 0xFFFFFF;
    }
    SelectObject(copyDc, previous);
    DeleteObject(bitmap);
    DeleteDC(copyDc);
    ReleaseDC(window, windowDc);
    return pixels;
}

DWORD WindowPixel(HWND window, int x, int y)
{
    RECT client = {};
    GetClientRect(window, &client);
    return WindowPixels(window, client.right, client.bottom)[static_cast<size_t>(y) * client.right + x];
}

bool IsStockObject(HGDIOBJ object)
{
    for (int stock = WHITE_BRUSH; stock <= DC_PEN; ++stock)
    {
        if (GetStockObject(stock) == object)
        {
            return true;
        }
    }
    return false;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    // A deadline on the clock: on a busy machine each pause may last much longer than asked.
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs; GetTickCount64() < deadline; Sleep(10))
    {
        if (condition())
        {
            return true;
        }
    }
    return condition();
}
} // namespace GravoTest
