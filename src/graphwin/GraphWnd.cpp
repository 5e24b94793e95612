#include "graphwin/GraphWnd.h"

#include "graphwin/Library.h"
#include "win32/UniqueHandles.h"

#include <shellapi.h>

namespace Gravo
{
namespace
{
const wchar_t className[] = L"GravoWnd";
const DWORD styleWithoutMinimise = WS_CAPTION | WS_SYSMENU;

HWND ConsoleWindow()
{
    return Lib().consoleWindow;
}
} // namespace

struct GraphWnd::ThreadParameters
{
    int x;
    int y;
    int width;
    int height;
    bool noClose;
    bool noMinimise;
    bool doubleClicks;
    const wchar_t* title;
};

GraphWnd::GraphWnd()
    : IMAGE(0, 0), consolePreExisted(false), consoleAllocated(false),
      readyEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)), window(nullptr), batch(false),
      presentRequest(false), threadId(0), endProcessOnDestroy(false)
{
    Lib().graphWindow = this;
}

GraphWnd::~GraphWnd()
{
    Close();
}

void GraphWnd::Resize(int newWidth, int newHeight)
{
    RECT adjusted = {0, 0, newWidth, newHeight};
    AdjustWindowRectEx(&adjusted, styleWithoutMinimise, FALSE, 0);
    IMAGE::Resize(newWidth, newHeight);
    HWND hwnd = Handle();
    if (hwnd == nullptr)
    {
        return;
    }
    RECT outer = {};
    GetWindowRect(hwnd, &outer);
    SetWindowPos(hwnd, nullptr, 0, 0, adjusted.right - adjusted.left, adjusted.bottom - adjusted.top,
                 SWP_NOZORDER | SWP_NOMOVE);
    if (newWidth > outer.right - outer.left + 1 || newHeight > outer.bottom - outer.top + 1)
    {
        Present(0, 0, newWidth, newHeight);
    }
}

HWND GraphWnd::Open(int newWidth, int newHeight, const wchar_t* title, int flags)
{
    if (Handle() != nullptr)
    {
        // The caller holds its own reference, so this release cannot stop the library.
        CloseGraphWindow();
    }
    JoinThread();

    LibraryState& lib = Lib();
    lib.consoleWindow = GetConsoleWindow();
    consolePreExisted = lib.consoleWindow != nullptr;
    if (lib.consoleWindow == nullptr && (flags & OPEN_SHOW_CONSOLE) != 0)
    {
        consoleAllocated = AllocConsole() != FALSE;
        FILE* output = nullptr;
        FILE* input = nullptr;
        _wfreopen_s(&output, L"CONOUT$", L"w+t", stdout);
        _wfreopen_s(&input, L"CONIN$", L"r+t", stdin);
        consoleOutput.reset(output);
        consoleInput.reset(input);
        lib.consoleWindow = GetConsoleWindow();
    }
    if (lib.consoleWindow != nullptr)
    {
        SetConsoleCtrlHandler(nullptr, TRUE);
    }

    ThreadParameters parameters = {-1,
                                   -1,
                                   newWidth,
                                   newHeight,
                                   (flags & OPEN_NO_CLOSE) != 0,
                                   (flags & OPEN_NO_MINIMIZE) != 0,
                                   (flags & OPEN_DOUBLE_CLICKS) != 0,
                                   title};
    if (consolePreExisted && (flags & OPEN_SHOW_CONSOLE) == 0)
    {
        RECT consoleRect = {};
        GetWindowRect(lib.consoleWindow, &consoleRect);
        parameters.x = consoleRect.left < 0 ? 0 : consoleRect.left;
        parameters.y = consoleRect.top < 0 ? 0 : consoleRect.top;
    }

    endProcessOnDestroy = false;
    thread.reset(CreateThread(nullptr, 0, ThreadMain, &parameters, 0, &threadId));
    if (thread)
    {
        WaitForSingleObject(readyEvent.get(), INFINITE);
    }
    IMAGE::Resize(newWidth, newHeight);
    SelectTarget(nullptr);
    return Handle();
}

void GraphWnd::Close()
{
    if (thread && GetCurrentThreadId() == threadId)
    {
        CloseOnThread(false);
        return;
    }
    HWND hwnd = Handle();
    if (hwnd != nullptr)
    {
        SendMessageW(hwnd, GRAPH_MSG_CLOSE, 0, 0);
    }
    JoinThread();
}

void GraphWnd::JoinThread()
{
    if (!thread)
    {
        return;
    }
    WaitForSingleObject(thread.get(), INFINITE);
    thread.reset();
    threadId = 0;
}

void GraphWnd::SetBatch(bool on)
{
    {
        // Under the lock: once this returns, no automatic repaint is still copying.
        ScopedLock lock(Lib().drawingLock);
        batch = on;
    }
    HWND hwnd = Handle();
    if (!on && hwnd != nullptr)
    {
        // The window thread waits for messages while batching: wake it for its automatic repaints.
        PostMessageW(hwnd, WM_NULL, 0, 0);
    }
}

void GraphWnd::Present(int left, int top, int presentWidth, int presentHeight)
{
    ScopedLock lock(Lib().drawingLock);
    if (!windowDc)
    {
        return;
    }
    HDC backBuffer = MemoryDc();
    SetWorldTransform(backBuffer, &identityTransform);
    BitBlt(windowDc.get(), left, top, presentWidth, presentHeight, backBuffer, left, top, SRCCOPY);
    SetWorldTransform(backBuffer, &transform);
    if (GetCurrentThreadId() != threadId)
    {
        // A present from another thread: the copy must not wait in this thread's GDI batch, and the window
        // thread, asleep until its next message, is woken. Wine hands a window's new contents to the display
        // only when a thread that owns windows looks at its messages; a wizard whose frame loop draws nothing
        // while it waits would otherwise show a frame behind.
        GdiFlush();
        PostMessageW(window.load(), WM_NULL, 0, 0);
    }
}

bool GraphWnd::Poll(GraphMessage* record, int filter, bool remove)
{
    ScopedLock lock(Lib().queueLock);
    return ring.Poll(record, filter, remove);
}

DWORD WINAPI GraphWnd::ThreadMain(void* parameters)
{
    // The block lives on the opening thread's stack until the ready event is set.
    Lib().graphWindow->RunThread(*static_cast<const ThreadParameters*>(parameters));
    return 0;
}

void GraphWnd::RunThread(const ThreadParameters& parameters)
{
    const int x = parameters.x == -1 ? CW_USEDEFAULT : parameters.x;
    const int y = parameters.y == -1 ? CW_USEDEFAULT : parameters.y;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    HICON extracted = ExtractIconW(instance, path, 0);
    // ExtractIconW's answer for "not an executable" is 1, no icon. The class uses the icon until it is
    // unregistered.
    UniqueIcon icon(extracted == reinterpret_cast<HICON>(1) ? nullptr : extracted);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = (parameters.noClose ? CS_NOCLOSE : 0) | (parameters.doubleClicks ? CS_DBLCLKS : 0);
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon.get();
    // The arrow by number: IDC_ARROW is a narrow name in a build without UNICODE.
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);

    const DWORD style = parameters.noMinimise ? styleWithoutMinimise : styleWithoutMinimise | WS_MINIMIZEBOX;
    RECT outer = {0, 0, parameters.width, parameters.height};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    HWND hwnd = CreateWindowExW(0, className, parameters.title, style, x, y, outer.right - outer.left,
                                outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    if (hwnd != nullptr)
    {
        {
            ScopedLock lock(Lib().drawingLock);
            windowDc = UniqueWindowDc(hwnd);
        }
        window = hwnd;
        if (x != CW_USEDEFAULT)
        {
            ShowWindow(ConsoleWindow(), SW_HIDE);
        }
        ShowWindow(hwnd, SW_SHOW);
    }
    SetEvent(readyEvent.get());
    if (hwnd != nullptr)
    {
        MessageLoop();
    }
    UnregisterClassW(className, instance);
}

void GraphWnd::MessageLoop()
{
    const DWORD repaintPeriod = 17;
    DWORD lastRepaint = GetTickCount();
    MSG message;
    for (;;)
    {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        {
            if (message.message == WM_QUIT)
            {
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
            continue;
        }
        // In batch mode nothing but a message gives the thread work; otherwise the next repaint is due.
        const DWORD sinceRepaint = GetTickCount() - lastRepaint;
        if (batch || sinceRepaint < repaintPeriod)
        {
            const DWORD wait = batch ? INFINITE : repaintPeriod - sinceRepaint;
            MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        lastRepaint = GetTickCount();
        Repaint();
    }
}

void GraphWnd::Repaint()
{
    ScopedLock lock(Lib().drawingLock);
    if (!batch)
    {
        Present(0, 0, width, height);
    }
}

void GraphWnd::Enqueue(UINT message, WPARAM wParam, LPARAM lParam)
{
    ScopedLock lock(Lib().queueLock);
    GraphMessage record;
    if (!ring.Full() && MakeRecord(Handle(), message, wParam, lParam, &record))
    {
        ring.Push(record);
    }
}

void GraphWnd::RequestPresentInBatch()
{
    if (batch)
    {
        presentRequest = true;
    }
}

void GraphWnd::CloseOnThread(bool endsProcess)
{
    HWND hwnd = Handle();
    if (hwnd == nullptr)
    {
        return;
    }
    LibraryState& lib = Lib();
    {
        ScopedLock lock(Lib().drawingLock);
        windowDc.reset();
        lib.targetWindowDc = nullptr;
    }
    RECT last = {};
    if (consolePreExisted)
    {
        if (lib.consoleWindow != nullptr && !IsWindowVisible(lib.consoleWindow))
        {
            GetWindowRect(hwnd, &last);
        }
    }
    else if (consoleAllocated)
    {
        // Known by the allocation rather than by its window: a console need not have a window (Wine's).
        consoleOutput.reset();
        consoleInput.reset();
        FreeConsole();
        consoleAllocated = false;
        lib.consoleWindow = nullptr;
    }
    endProcessOnDestroy = endsProcess;
    // DestroyWindow hides the window itself. A separate SW_HIDE first changes nothing visible but, under
    // Wine without a window manager, waits two seconds for X11 to confirm the unmap.
    DestroyWindow(hwnd);
    window = nullptr;
    if (lib.consoleWindow != nullptr && !IsWindowVisible(lib.consoleWindow))
    {
        // A console that the graph window replaced comes back where the graph window was.
        SetWindowPos(lib.consoleWindow, nullptr, last.left, last.top, 0, 0, SWP_NOSIZE);
        ShowWindow(lib.consoleWindow, SW_SHOW);
    }
}

LRESULT CALLBACK GraphWnd::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    GraphWnd* self = Lib().graphWindow;
    if (self == nullptr)
    {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    switch (message)
    {
    case WM_DESTROY:
        PostQuitMessage(0);
        if (self->endProcessOnDestroy)
        {
            if (ConsoleWindow() != nullptr)
            {
                SendMessageW(ConsoleWindow(), WM_CLOSE, 0, 0);
                return 0;
            }
            // Not the C runtime's exit: static destructors would run while the main thread still draws
            // and measures with what they free.
            ExitProcess(0);
        }
        return 0;
    case WM_MOVE:
    case WM_SIZE:
    case WM_ACTIVATE:
        DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == WM_MOVE || (message == WM_SIZE && wParam == SIZE_RESTORED))
        {
            self->RequestPresentInBatch();
        }
        self->Enqueue(message, wParam, lParam);
        return 0;
    case WM_PAINT:
        if (GetUpdateRect(hwnd, nullptr, FALSE))
        {
            self->RequestPresentInBatch();
        }
        ValidateRect(hwnd, nullptr);
        return 0;
    case WM_CLOSE:
        self->CloseOnThread(true);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        if (ConsoleWindow() != nullptr && wParam != VK_CANCEL)
        {
            PostMessageW(ConsoleWindow(), message, wParam, lParam);
        }
        self->Enqueue(message, wParam, lParam);
        return 0;
    case WM_CHAR:
        self->Enqueue(message, wParam, lParam);
        return 0;
    case GRAPH_MSG_CAPTURE:
        SetCapture(hwnd);
        return 0;
    case GRAPH_MSG_RELEASE:
        ReleaseCapture();
        return 0;
    case GRAPH_MSG_CLOSE:
        self->CloseOnThread(false);
        return 0;
    default:
        if (message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL)
        {
            self->Enqueue(message, wParam, lParam);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}
} // namespace Gravo
