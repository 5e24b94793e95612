// Gravo sample: opens the graph window, draws a few shapes and a line of text, checks that they reached the
// back buffer and the window, and closes the window. Built against a release folder like a user's program:
//   g++ -I<kit>\include GravoSample.cpp -L<kit>\lib_mingw\lib32 -lgravo -lgdi32 -luser32 -lole32 -lshell32
// Prints "Gravo sample: ok" and returns 0 when every check passes.
#include <graphics.h>

#include <cstdio>

namespace
{
const COLORREF white = RGB(255, 255, 255);
const COLORREF red = RGB(220, 40, 40);
const COLORREF blue = RGB(30, 60, 200);

int failures = 0;

void Expect(bool condition, const char* what)
{
    if (!condition)
    {
        std::printf("Gravo sample: FAILED: %s\n", what);
        ++failures;
    }
}

// The window thread paints asynchronously: give the presented picture a moment to arrive.
bool WindowShows(HWND window, int x, int y, COLORREF colour)
{
    HDC dc = GetDC(window);
    bool shown = false;
    for (int attempt = 0; attempt < 100 && !shown; ++attempt)
    {
        shown = GetPixel(dc, x, y) == colour;
        if (!shown)
            Sleep(20);
    }
    ReleaseDC(window, dc);
    return shown;
}
} // namespace

int main()
{
    HWND window = OpenGraphWindow(320, 240, 0);
    Expect(window != nullptr, "the graph window opens");
    if (window == nullptr)
        return 1;
    SetWindowTextW(window, L"Gravo sample");
    Expect(TargetWidth() == 320 && TargetHeight() == 240, "the back buffer has the window's size");

    StartBatch();
    SetBackColour(white);
    ClearTarget();
    SetFillColour(red);
    RectSolid(20, 20, 120, 100);
    SetLineColour(blue);
    SetLineStyle(PS_SOLID, 3);
    CircleOutline(220, 70, 50);
    DrawLine(10, 200, 310, 200);
    SetTextColour(RGB(0, 0, 0));
    SetTextStyle(20, 0, L"Arial");
    TextAt(20, 150, L"Hello, Gravo");
    PresentBatch();

    Expect(ReadPixel(5, 5) == white, "the cleared background is white");
    Expect(ReadPixel(70, 60) == red, "the solid rectangle is red");
    Expect(ReadPixel(160, 200) == blue, "the line is blue");
    Expect(ReadPixel(220, 70) == white, "the circle's centre is not filled");
    Expect(TextWidth(L"Hello, Gravo") > 0, "text has a width");
    Expect(WindowShows(window, 70, 60, red), "the window shows the presented picture");

    Sleep(300);
    StopBatch();
    CloseGraphWindow();
    if (failures != 0)
        return 1;
    std::printf("Gravo sample: ok\n");
    return 0;
}
