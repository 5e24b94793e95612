// The graph window object: the back buffer (its IMAGE part), the window thread that owns the window and
// repaints it, the window procedure that fills the input ring, and the console handling around them.
#pragma once

#include "graphwin/MessageRing.h"
#include "graphwin/gravo.h"
#include "win32/UniqueHandles.h"

#include <atomic>
#include <cstdio>
#include <memory>

namespace Gravo
{
const UINT GRAPH_MSG_CAPTURE = WM_USER + 1;
const UINT GRAPH_MSG_RELEASE = WM_USER + 2;
// Asks the window thread to destroy its window without ending the process.
const UINT GRAPH_MSG_CLOSE = WM_USER + 3;

// A stdio stream of the runtime, closed with fclose.
struct StreamCloser
{
    void operator()(FILE* stream) const { std::fclose(stream); }
};
using UniqueStream = std::unique_ptr<FILE, StreamCloser>;

class GraphWnd : public IMAGE
{
public:
    GraphWnd();
    GraphWnd(const GraphWnd&) = delete;
    GraphWnd& operator=(const GraphWnd&) = delete;
    ~GraphWnd() override;

    // Keeps the window's client area the size of the back buffer.
    void Resize(int width, int height) override;

    // Starts the window thread and waits until it has shown the window; null if it could not be made.
    HWND Open(int width, int height, const wchar_t* title, int flags);
    // Destroys the window on its own thread and waits until that thread has ended.
    void Close();

    HWND Handle() const { return window.load(); }
    HDC WindowDc() const { return windowDc.get(); }
    void SetBatch(bool on);
    // True once after the window needed its contents shown again while batch drawing was on.
    bool TakePresentRequest() { return presentRequest.exchange(false); }
    // Copies a rectangle of the back buffer to the same place in the window.
    void Present(int left, int top, int width, int height);
    bool Poll(GraphMessage* record, int filter, bool remove);

private:
    struct ThreadParameters;
    static DWORD WINAPI ThreadMain(void* parameters);
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    void RunThread(const ThreadParameters& parameters);
    void MessageLoop();
    void Repaint();
    void Enqueue(UINT message, WPARAM wParam, LPARAM lParam);
    // In batch mode the window thread never copies the back buffer: it asks the main thread to present.
    void RequestPresentInBatch();
    // The closing steps, on the window thread. Only the close box's path ends the process.
    void CloseOnThread(bool endsProcess);
    void JoinThread();

    bool consolePreExisted;
    bool consoleAllocated;
    UniqueHandle readyEvent;
    MessageRing ring;
    UniqueStream consoleOutput;
    UniqueStream consoleInput;
    std::atomic<HWND> window;
    UniqueWindowDc windowDc;
    std::atomic<bool> batch;
    std::atomic<bool> presentRequest;
    UniqueHandle thread;
    DWORD threadId;
    bool endProcessOnDestroy;
};
} // namespace Gravo
