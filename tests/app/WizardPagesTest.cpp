// The wizard's pages in a real graph window: what a frame puts into the back buffer, and what the buttons
// and actions do when they are clicked through the window's own input queue.
#include "app/EnvironmentPage.h"
#include "app/WelcomePage.h"
#include "app/Wizard.h"
#include "app/WizardApp.h"
#include "app/WizardSession.h"
#include "app/WizardState.h"
#include "graphwin/gravo.h"
#include "guibackend/CommandRenderer.h"
#include "guibackend/GuiBackend.h"
#include "install/DocumentationShortcut.h"
#include "support/ScratchFolder.h"

#include "win32/TextConversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace
{

using namespace TestSupport;

DWORD PixelWord(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// A page object whose folder dialog answers with a prepared folder, whose documentation shortcut lives in
// a scratch folder instead of the user's desktop, and whose folder examinations and documentation
// uninstall may be given a scripted answer.
class ScriptedEnvironmentPage : public EnvironmentPage
{
public:
    using EnvironmentPage::EnvironmentPage;
    std::wstring ChooseFolder() override { return chosenFolder; }
    int ExamineVisualCppFolder(const std::wstring& folder, EnvListEntry& entry) override
    {
        return examination ? Scripted(entry) : EnvironmentPage::ExamineVisualCppFolder(folder, entry);
    }
    int ExamineMingwFolder(const std::wstring& folder, EnvListEntry& entry) override
    {
        return examination ? Scripted(entry) : EnvironmentPage::ExamineMingwFolder(folder, entry);
    }
    std::wstring InstallDocumentationShortcut() override { return InstallDocumentation(DesktopPath()); }
    std::wstring UninstallDocumentationShortcut() override
    {
        return uninstallAnswer ? *uninstallAnswer : UninstallDocumentation(DesktopPath());
    }
    // The scratch desktop as the shell names a folder: without a trailing backslash.
    std::wstring DesktopPath() const { return desktop.Path().substr(0, desktop.Path().size() - 1); }
    std::wstring ShortcutFile() const { return desktop / L"Gravo_Help.lnk"; }

    std::wstring chosenFolder;
    TestSupport::ScratchFolder desktop{L"desktop"};
    // As the real examinations do: an accepted folder fills the info lines, a refused tool chain says why
    // in the entry's status.
    std::optional<int> examination;
    std::wstring refusal = L"不支持的编译器";
    std::optional<std::wstring> uninstallAnswer;

private:
    int Scripted(EnvListEntry& entry) const
    {
        if (*examination > 0)
        {
            entry.infoLine1 = L"头文件路径 " + chosenFolder + L"include";
            entry.infoLine2 = L"库文件路径 " + chosenFolder + L"lib";
        }
        else if (*examination == -1 && entry.isMingw)
        {
            entry.statusText = refusal;
        }
        return *examination;
    }
};

// What a frame asked the renderer to draw: its texts and its stroked rectangles.
struct DrawnText
{
    std::string text;
    int x;
    int y;
    const nk_user_font* font;
    nk_color colour;
};

struct DrawnFrame
{
    std::vector<DrawnText> texts;
    std::vector<struct nk_rect> strokes;

    const DrawnText* Text(const std::string& text) const
    {
        for (const DrawnText& drawn : texts)
            if (drawn.text == text)
                return &drawn;
        return nullptr;
    }
    // A text drawn whole or, clamped to its slot, as a prefix.
    const DrawnText* TextStartingWith(const std::string& text) const
    {
        for (const DrawnText& drawn : texts)
            if (!drawn.text.empty() && text.compare(0, drawn.text.size(), drawn.text) == 0)
                return &drawn;
        return nullptr;
    }
    // The info-line tooltip's border: the only stroked rectangle 340 pixels wide.
    std::optional<struct nk_rect> Tooltip() const
    {
        for (const struct nk_rect& stroke : strokes)
            if (stroke.w == 340)
                return stroke;
        return std::nullopt;
    }
};

class WizardPages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        session = std::make_unique<WizardSession>();
        ASSERT_EQ(session->Status(), 0);
        window = session->Window();
        context = session->Context();
        app.Create(context, wizardWidth, wizardHeight);
        appRunning = 1;
        currentPage = 1;
    }
    void TearDown() override { session.reset(); }

    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            RunFrame(context, app, window);
    }
    // A frame as RunFrame runs it, with what it asked the renderer to draw.
    DrawnFrame RecordedFrame()
    {
        DrainInput(context, window);
        app.DrawFrame();
        DrawnFrame frame;
        for (const nk_command* command = nk__begin(context); command != nullptr;
             command = nk__next(context, command))
        {
            if (command->type == NK_COMMAND_TEXT)
            {
                const auto* text = reinterpret_cast<const nk_command_text*>(command);
                frame.texts.push_back(
                    DrawnText{text->string, text->x, text->y, text->font, text->foreground});
            }
            else if (command->type == NK_COMMAND_RECT)
            {
                const auto* rect = reinterpret_cast<const nk_command_rect*>(command);
                frame.strokes.push_back(nk_rect(rect->x, rect->y, rect->w, rect->h));
            }
        }
        DrawAndPresent(app);
        return frame;
    }
    // The list page on a scripted page object with these entries in its list.
    ScriptedEnvironmentPage& ScriptedList(std::vector<EnvListEntry> entries)
    {
        list = std::make_unique<ScriptedEnvironmentPage>(context, wizardWidth, wizardHeight);
        list->CreateRows();
        for (const EnvListEntry& entry : entries)
            list->displayList.push_back(&(*list->NewEntry() = entry));
        app.environmentPage = list.get();
        currentPage = 2;
        return *list;
    }
    void MoveTo(int x, int y) { Deliver(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    // A press and a release in separate frames.
    void Click(int x, int y)
    {
        const LPARAM at = MAKELPARAM(x, y);
        Deliver(WM_MOUSEMOVE, 0, at);
        Deliver(WM_LBUTTONDOWN, MK_LBUTTON, at);
        Deliver(WM_LBUTTONUP, 0, at);
    }
    // Hands the window a mouse message as the system would and runs a frame on it. Sent rather than posted:
    // the call returns once the window thread has queued the message's record, however busy the machine.
    void Deliver(UINT message, WPARAM wParam, LPARAM lParam)
    {
        SendMessageW(window, message, wParam, lParam);
        Frames(1);
    }
    // The pixel's colour bytes (a byte-wise clear also fills the unused top byte).
    DWORD Pixel(int x, int y) const { return TargetPixels(nullptr)[y * wizardWidth + x] & 0xFFFFFF; }

    std::unique_ptr<WizardSession> session;
    HWND window = nullptr;
    nk_context* context = nullptr;
    WizardApp app;
    std::unique_ptr<ScriptedEnvironmentPage> list;
};

EnvListEntry DetectedEntry(int rowIndex, const std::wstring& name, const std::wstring& line1,
                           const std::wstring& line2)
{
    EnvListEntry entry;
    entry.rowIndex = rowIndex;
    entry.displayName = name;
    entry.infoLine1 = line1;
    entry.infoLine2 = line2;
    entry.detected = true;
    return entry;
}

EnvListEntry UndetectedEntry(int rowIndex, bool isMingw)
{
    EnvListEntry entry;
    entry.rowIndex = rowIndex;
    entry.isMingw = isMingw;
    entry.displayName = isMingw ? L"  Dev-C++" : L"  Visual C++ 2022";
    entry.statusText = L"（未检测到）";
    return entry;
}

TEST_F(WizardPages, WelcomePageFillsStripPanelSeparatorAndFooter)
{
    Frames(2);
    EXPECT_EQ(Pixel(10, 10), PixelWord(RGB(33, 23, 129)));
    // The two groups are one layout spacing apart; the strip and the panel each fill their own group.
    EXPECT_EQ(Pixel(140, 250), PixelWord(RGB(33, 23, 129)));
    EXPECT_EQ(Pixel(152, 250), PixelWord(RGB(245, 245, 239)));
    EXPECT_EQ(Pixel(489, 250), PixelWord(RGB(245, 245, 239)));
    EXPECT_EQ(Pixel(10, 283), PixelWord(RGB(100, 100, 100)));
    EXPECT_EQ(Pixel(10, 290), PixelWord(RGB(235, 235, 209)));
    EXPECT_EQ(Pixel(489, 327), PixelWord(RGB(235, 235, 209)));
}

TEST_F(WizardPages, UnknownPageLeavesOnlyTheClearColour)
{
    currentPage = 3;
    Frames(2);
    for (int y = 0; y < wizardHeight; y += 7)
        for (int x = 0; x < wizardWidth; x += 7)
            ASSERT_EQ(Pixel(x, y), PixelWord(RGB(99, 99, 99))) << x << "," << y;
}

TEST_F(WizardPages, NextShowsTheListPageAndBackReturns)
{
    Frames(1);
    Click(330, 306);
    EXPECT_EQ(currentPage, 2);
    EXPECT_EQ(appRunning, 1);
    Frames(1);
    EXPECT_EQ(Pixel(300, 10), PixelWord(RGB(250, 250, 250))) << "the list page's header band";
    Click(330, 306);
    EXPECT_EQ(currentPage, 1);
}

TEST_F(WizardPages, HoveringNeitherButtonChangesNothing)
{
    Frames(1);
    Click(200, 150);
    EXPECT_EQ(currentPage, 1);
    EXPECT_EQ(appRunning, 1);
}

TEST_F(WizardPages, CancelClearsTheRunningFlag)
{
    Frames(1);
    Click(430, 306);
    EXPECT_EQ(appRunning, 0);
    EXPECT_EQ(currentPage, 1);
}

TEST_F(WizardPages, CloseOnTheListPageClearsTheRunningFlag)
{
    currentPage = 2;
    Frames(1);
    Click(430, 306);
    EXPECT_EQ(appRunning, 0);
}

// A wizard object that notes what the back buffer showed when the detection pass began.
class WatchedApp : public WizardApp
{
public:
    void StartDetection() override
    {
        ++detections;
        stripAtDetection = TargetPixels(nullptr)[10 * wizardWidth + 10] & 0xFFFFFF;
        entriesAtDetection = environmentPage->displayList.size();
        WizardApp::StartDetection();
    }
    int detections = 0;
    DWORD stripAtDetection = 0;
    size_t entriesAtDetection = 0;
};

TEST_F(WizardPages, FirstFrameShowsTheWelcomePageAndDetectionEndsBeforeTheSecond)
{
    WatchedApp watched;
    watched.Create(context, wizardWidth, wizardHeight);
    FrameLoop loop(context, watched, window);
    loop.Turn();
    EXPECT_EQ(watched.detections, 1);
    EXPECT_EQ(watched.stripAtDetection, PixelWord(RGB(33, 23, 129))) << "the welcome page was drawn first";
    EXPECT_EQ(watched.entriesAtDetection, 0u);
    ASSERT_FALSE(watched.environmentPage->displayList.empty()) << "the pass ended within the first turn";
    EXPECT_EQ(watched.environmentPage->displayList.front()->rowIndex, -1) << "the documentation line first";
    loop.Turn();
    loop.Turn();
    EXPECT_EQ(watched.detections, 1);
}

// Turns until one draws nothing; how many drew.
int TurnsUntilQuiet(FrameLoop& loop)
{
    int drawn = 0;
    while (loop.Turn() && drawn < 10)
        ++drawn;
    return drawn;
}

TEST_F(WizardPages, QuietTurnsDrawNothingUntilInputOrAChange)
{
    FrameLoop loop(context, app, window);
    // The first turn, the turn after the detection pass, and two settling turns.
    EXPECT_EQ(TurnsUntilQuiet(loop), 4);
    EXPECT_FALSE(loop.Turn());
    EXPECT_EQ(Pixel(300, 300), PixelWord(RGB(222, 222, 222))) << "the button of the next page";

    // A pointer move is drawn in the turn after it arrives: the button shows its hover colour.
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    EXPECT_TRUE(loop.Turn());
    EXPECT_EQ(Pixel(300, 300), PixelWord(RGB(255, 255, 255)));
    EXPECT_EQ(TurnsUntilQuiet(loop), 2);

    currentPage = 2;
    EXPECT_TRUE(loop.Turn());
    EXPECT_EQ(Pixel(300, 10), PixelWord(RGB(250, 250, 250))) << "the list page's header band";
    EXPECT_EQ(TurnsUntilQuiet(loop), 2);

    app.environmentPage->resultText = L"安装成功";
    app.environmentPage->resultPopupOpen = true;
    EXPECT_TRUE(loop.Turn());
    EXPECT_EQ(TurnsUntilQuiet(loop), 2);
    EXPECT_FALSE(loop.Turn());
}

// A window that needs its contents again gets the whole back buffer, also when the frame of that turn has
// the last frame's commands and draws nothing.
TEST_F(WizardPages, PresentRequestShowsTheWholeBackBufferWhenTheFrameDrawsNothing)
{
    FrameLoop loop(context, app, window);
    TurnsUntilQuiet(loop);
    // A pixel of the back buffer the frames do not draw again.
    WritePixel(5, 5, RGB(200, 10, 10));
    const auto shown = [&]
    {
        HDC dc = GetDC(window);
        const COLORREF colour = GetPixel(dc, 5, 5);
        ReleaseDC(window, dc);
        return colour;
    };
    EXPECT_NE(shown(), RGB(200, 10, 10));
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_TRUE(loop.Turn());
    EXPECT_EQ(shown(), RGB(200, 10, 10));
}

// Frames that changed only in part are drawn only there; the back buffer must still be the whole frame.
TEST_F(WizardPages, FramesDrawnInPartAreTheWholeFrames)
{
    std::vector<EnvListEntry> entries;
    for (int row = 0; row < 6; ++row)
        entries.push_back(
            DetectedEntry(row, L"Visual C++ 20" + std::to_wstring(10 + row),
                          L"包含目录: C:\\Program Files\\VC" + std::to_wstring(row) + L"\\include",
                          L"库目录: C:\\Program Files\\VC" + std::to_wstring(row) + L"\\lib"));
    ScriptedList(entries);
    const POINT places[] = {{300, 300}, {200, 200}, {300, 300}, {200, 110}, {200, 150}, {200, 125},
                            {400, 110}, {405, 150}, {10, 10},   {200, 150}, {200, 110}, {200, 111}};
    for (int page : {1, 2})
    {
        currentPage = page;
        Frames(2);
        int inPart = 0;
        for (const POINT& place : places)
        {
            SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(place.x, place.y));
            DrainInput(context, window);
            app.DrawFrame();
            const RECT drawn = RenderGuiIfChanged(nk_rgb(99, 99, 99));
            inPart += !IsRectEmpty(&drawn) &&
                      (drawn.right - drawn.left) * (drawn.bottom - drawn.top) < wizardWidth * wizardHeight;
            const DWORD* pixels = TargetPixels(nullptr);
            const std::vector<DWORD> drawnPixels(pixels, pixels + wizardWidth * wizardHeight);
            // The same frame drawn whole; the record of the last frame is kept for the next one.
            const FrameRecord last = TheGuiBackend().lastFrame;
            app.DrawFrame();
            RenderGui(nk_rgb(99, 99, 99));
            TheGuiBackend().lastFrame = last;
            EXPECT_TRUE(std::equal(drawnPixels.begin(), drawnPixels.end(), TargetPixels(nullptr)))
                << "page " << page << ", pointer at " << place.x << ", " << place.y;
        }
        EXPECT_GT(inPart, 3) << "page " << page;
    }
}

TEST_F(WizardPages, OpenResultPopupSurvivesAVisitToTheWelcomePage)
{
    ScriptedEnvironmentPage& page =
        ScriptedList({DetectedEntry(-1, L"Gravo 文档", L"在线文档", L"桌面路径")});
    page.resultText = L"安装成功";
    page.resultPopupOpen = true;
    EXPECT_NE(RecordedFrame().Text("安装成功"), nullptr);
    currentPage = 1;
    EXPECT_EQ(RecordedFrame().Text("安装成功"), nullptr);
    currentPage = 2;
    EXPECT_NE(RecordedFrame().Text("安装成功"), nullptr);
    EXPECT_TRUE(page.resultPopupOpen);
}

// An install that refused a release file names it on a second line, whole, below the failure text.
TEST_F(WizardPages, ResultOfTwoLinesShowsBothWhole)
{
    ScriptedEnvironmentPage& page = ScriptedList({DetectedEntry(3, L"  Dev-C++", L"包含", L"库")});
    page.resultText = L"安装失败_lib32\nlib_mingw\\lib-for-devcpp_5.4.0\\libgravo.a";
    page.resultPopupOpen = true;
    const DrawnFrame frame = RecordedFrame();
    const DrawnText* failure = frame.Text("安装失败_lib32");
    const DrawnText* file = frame.Text("lib_mingw\\lib-for-devcpp_5.4.0\\libgravo.a");
    ASSERT_NE(failure, nullptr);
    ASSERT_NE(file, nullptr);
    EXPECT_GT(file->y, failure->y);
    EXPECT_NE(frame.Text("OK"), nullptr);
}

TEST_F(WizardPages, LogoRunsDownwardsFromItsOffsetInGrey)
{
    const DrawnFrame frame = RecordedFrame();
    const DrawnText* logo = frame.Text("Gravo");
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->x, 145);
    EXPECT_EQ(logo->y, 30);
    EXPECT_EQ(logo->colour.r, 170);
    EXPECT_EQ(logo->colour.g, 170);
    EXPECT_EQ(logo->colour.b, 170);
    // Turned a quarter clockwise, the 80-pixel glyphs hang left of x 145 and run down from y 30.
    int left = wizardWidth, right = -1, top = wizardHeight, bottom = -1;
    for (int y = 0; y < wizardHeight; ++y)
        for (int x = 0; x < wizardWidth; ++x)
            if (Pixel(x, y) == PixelWord(RGB(170, 170, 170)))
            {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "no grey logo pixels";
    EXPECT_LE(right, 145);
    EXPECT_GE(left, 145 - 80);
    EXPECT_GE(top, 30);
    EXPECT_GT(bottom - top, 2 * (right - left)) << "the text runs downwards";
}

TEST_F(WizardPages, WelcomeTitleIsInTheHeavyTwentyTwoPixelFont)
{
    const DrawnText* title = RecordedFrame().Text(WideToUtf8(L"欢迎使用 “Gravo 26.1.1” 安装向导"));
    ASSERT_NE(title, nullptr);
    const auto* titleFont = static_cast<const GuiFont*>(title->font->userdata.ptr);
    ASSERT_NE(titleFont, nullptr);
    EXPECT_EQ(titleFont->logfont->lfHeight, 22);
    EXPECT_EQ(titleFont->logfont->lfWeight, 900);
    EXPECT_EQ(title->colour.r, 33);
}

TEST_F(WizardPages, WelcomePageLooksTheSameAfterAVisitToTheList)
{
    Frames(2);
    const DWORD* pixels = TargetPixels(nullptr);
    const std::vector<DWORD> first(pixels, pixels + wizardWidth * wizardHeight);
    currentPage = 2;
    Frames(2);
    currentPage = 1;
    Frames(2);
    const std::vector<DWORD> again(pixels, pixels + wizardWidth * wizardHeight);
    int differing = 0;
    for (int i = 0; i < wizardWidth * wizardHeight; ++i)
        differing += (first[i] & 0xFFFFFF) != (again[i] & 0xFFFFFF) ? 1 : 0;
    // The gap between the strip and the panel shows the window's own background.
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(Pixel(147, 100), PixelWord(RGB(45, 45, 45)));
}

TEST_F(WizardPages, UninstallTextIsShownAsReturnedEvenWhenEmpty)
{
    ScriptedEnvironmentPage& page = ScriptedList({});
    EnvListEntry entry = DetectedEntry(-1, L"Gravo 文档", L"", L"");
    page.resultText = L"安装成功";
    page.uninstallAnswer = L"";
    page.Uninstall(entry);
    EXPECT_TRUE(page.resultPopupOpen);
    EXPECT_EQ(page.resultText, L"");
}

TEST_F(WizardPages, AcceptedFolderTurnsTheLineDetectedOnTheNextFrameWithoutPopup)
{
    for (int answer : {8, 1, 2})
    {
        for (bool isMingw : {false, true})
        {
            ScriptedEnvironmentPage& page = ScriptedList({UndetectedEntry(isMingw ? 0 : 8, isMingw)});
            page.chosenFolder = L"C:\\Tools\\";
            page.examination = answer;
            const DrawnText* choose = RecordedFrame().Text("选择安装目录");
            ASSERT_NE(choose, nullptr);
            Click(choose->x + 10, choose->y + 5);
            EXPECT_TRUE(page.displayList.front()->detected) << answer;
            EXPECT_FALSE(page.resultPopupOpen) << answer;
            const DrawnFrame frame = RecordedFrame();
            EXPECT_EQ(frame.Text("选择安装目录"), nullptr) << answer;
            EXPECT_NE(frame.Text("安装"), nullptr) << answer;
            EXPECT_NE(frame.Text("卸载"), nullptr) << answer;
            EXPECT_NE(frame.TextStartingWith(WideToUtf8(L"头文件路径 C:\\Tools\\include")), nullptr)
                << answer;
        }
    }
}

// A Visual C++ folder of another generation asks for the right one; a refused tool chain shows the reason
// the probe wrote into the entry's status. Either way the line stays undetected with its choose button.
TEST_F(WizardPages, RefusedFolderSaysWhyAndLeavesTheLineUndetected)
{
    for (bool isMingw : {false, true})
    {
        ScriptedEnvironmentPage& page = ScriptedList({UndetectedEntry(isMingw ? 0 : 8, isMingw)});
        page.chosenFolder = L"C:\\Elsewhere\\";
        page.examination = -1;
        page.Choose(*page.displayList.front());
        EXPECT_TRUE(page.resultPopupOpen);
        EXPECT_EQ(page.resultText, isMingw ? L"不支持的编译器" : L"版本错误，请重新选择对应版本");
        EXPECT_FALSE(page.displayList.front()->detected);
        const DrawnFrame frame = RecordedFrame();
        EXPECT_NE(frame.Text("选择安装目录"), nullptr);
        EXPECT_NE(frame.TextStartingWith(WideToUtf8(page.resultText)), nullptr) << "shown in the popup";
    }
}

class InfoTooltips : public WizardPages
{
protected:
    // Seven detected lines; line texts of about 10 and of about 900 pixels.
    void SetUp() override
    {
        WizardPages::SetUp();
        std::vector<EnvListEntry> entries;
        for (int i = 0; i < 7; ++i)
            entries.push_back(DetectedEntry(i, L"  Visual C++ " + std::to_wstring(i),
                                            i == 1 ? longLine : L"C:\\", i == 1 ? longLine : L"C:\\"));
        ScriptedList(entries);
        const DrawnFrame frame = RecordedFrame();
        const DrawnText* first = frame.TextStartingWith("C:\\");
        ASSERT_NE(first, nullptr);
        firstAt = *first;
        const DrawnText* second = frame.TextStartingWith(WideToUtf8(longLine));
        ASSERT_NE(second, nullptr);
        secondAt = *second;
    }
    // The tooltip's height while the pointer rests at (x, y), or 0 without a tooltip.
    float TooltipHeightAt(int x, int y)
    {
        MoveTo(x, y);
        const std::optional<struct nk_rect> tooltip = RecordedFrame().Tooltip();
        return tooltip ? tooltip->h : 0.0f;
    }
    float LineHeight() const { return static_cast<float>(TextHeight(L"天")); }

    const std::wstring longLine =
        L"头文件路径 C:\\Program Files\\Microsoft Visual Studio\\2022\\Community\\VC\\Tools"
        L"\\MSVC\\14.38.33130\\include\\和一些更长的目录名称让它超过三个提示宽度";
    DrawnText firstAt{};
    DrawnText secondAt{};
};

TEST_F(InfoTooltips, ShownOnlyOverALineInsideTheListWithoutPopup)
{
    EXPECT_GT(TooltipHeightAt(firstAt.x + 3, firstAt.y + 5), 0.0f) << "over line 1 of the first entry";
    EXPECT_EQ(TooltipHeightAt(20, firstAt.y + 5), 0.0f) << "over the display name";
    // Entry 5's first line lies below the list area, under the footer: the pointer is over its bounds but
    // not inside the list.
    const int pitch = secondAt.y - firstAt.y;
    ASSERT_GT(pitch, 20);
    const int hiddenY = firstAt.y + 5 * pitch + 5;
    ASSERT_LT(hiddenY, wizardHeight);
    EXPECT_EQ(TooltipHeightAt(firstAt.x + 3, hiddenY), 0.0f) << "over a line outside the list area";
    // Nuklear itself keeps tooltips away once the popup has been drawn; the page must not open one in
    // the frame in which the popup opens either.
    EXPECT_GT(TooltipHeightAt(firstAt.x + 3, firstAt.y + 5), 0.0f);
    list->resultText = L"安装成功";
    list->resultPopupOpen = true;
    EXPECT_FALSE(RecordedFrame().Tooltip()) << "while the result popup is open";
}

TEST_F(InfoTooltips, GrowsOneLineHeightPer340PixelsOfText)
{
    const float shortHeight = TooltipHeightAt(firstAt.x + 3, firstAt.y + 5);
    const float longHeight = TooltipHeightAt(secondAt.x + 3, secondAt.y + 5);
    const float widthGap = static_cast<float>(TextWidth(longLine.c_str()) - TextWidth(L"C:\\"));
    ASSERT_GT(widthGap, 680.0f);
    EXPECT_NEAR(longHeight - shortHeight, LineHeight() * widthGap / 340.0f, 1.5f);
}

TEST_F(InfoTooltips, SecondLinesTooltipIsHalfALineTaller)
{
    const int lineGap = 16; // line 2 sits 16 pixels below line 1 in its row
    const float line1 = TooltipHeightAt(secondAt.x + 3, secondAt.y + 5);
    const float line2 = TooltipHeightAt(secondAt.x + 3, secondAt.y + lineGap + 5);
    EXPECT_NEAR(line2 - line1, LineHeight() / 2, 1.0f);
}

TEST(ButtonStyle, WizardGreyAndWhiteOverTheContextsStyle)
{
    nk_context context;
    nk_user_font font{};
    nk_init_default(&context, &font);
    const nk_style_button style = MakeButtonStyle(&context);
    EXPECT_EQ(style.normal.data.color.r, 222);
    EXPECT_EQ(style.hover.data.color.g, 255);
    EXPECT_EQ(style.active.data.color.b, 255);
    EXPECT_EQ(style.text_normal.r, 66);
    EXPECT_EQ(style.text_hover.r, 88);
    EXPECT_EQ(style.text_active.r, 88);
    EXPECT_EQ(style.rounding, context.style.button.rounding);
    EXPECT_EQ(style.border_color.r, context.style.button.border_color.r);
    nk_free(&context);
}

class EnvironmentActions : public ::testing::Test
{
protected:
    EnvironmentActions() { page.CreateRows(); }
    EnvListEntry& Entry(int rowIndex, bool isMingw)
    {
        EnvListEntry* entry = page.NewEntry();
        entry->rowIndex = rowIndex;
        entry->isMingw = isMingw;
        entry->statusText = L"（未检测到）";
        return *entry;
    }
    ScriptedEnvironmentPage page{nullptr, wizardWidth, wizardHeight};
};

TEST_F(EnvironmentActions, FailedInstallShowsItsTextAndUninstallShowsItsResultAsReturned)
{
    page.Install(Entry(vc2022Row, false));
    EXPECT_TRUE(page.resultPopupOpen);
    EXPECT_EQ(page.resultText, L"安装失败") << "an undetected Visual C++ row has no target";
    page.Install(Entry(devcppIde, true));
    EXPECT_EQ(page.resultText, L"安装失败_inlcude");
    page.resultPopupOpen = false;
    page.Uninstall(Entry(vc2022Row, false));
    EXPECT_TRUE(page.resultPopupOpen);
    EXPECT_EQ(page.resultText, L"卸载失败");
}

TEST_F(EnvironmentActions, DocumentationLineUsesTheShortcutWhateverItsMingwFlag)
{
    page.Uninstall(Entry(-1, true));
    EXPECT_EQ(page.resultText, L"卸载成功");
    page.Install(Entry(-1, true));
    EXPECT_EQ(page.resultText, L"安装成功");
    EXPECT_TRUE(PathExists(page.ShortcutFile()));
    page.Uninstall(Entry(-1, false));
    EXPECT_EQ(page.resultText, L"卸载成功");
    EXPECT_FALSE(PathExists(page.ShortcutFile()));
}

TEST_F(EnvironmentActions, CancelledFolderDialogIsSilent)
{
    EnvListEntry& entry = Entry(vc2022Row, false);
    page.chosenFolder.clear();
    page.Choose(entry);
    EXPECT_FALSE(page.resultPopupOpen);
    EXPECT_FALSE(entry.detected);
}

TEST_F(EnvironmentActions, FolderWithoutACompilerIsReportedPerKind)
{
    ScratchFolder empty{L"empty choice"};
    page.chosenFolder = empty.Path();
    EnvListEntry& visualCpp = Entry(vc2022Row, false);
    page.Choose(visualCpp);
    EXPECT_TRUE(page.resultPopupOpen);
    EXPECT_EQ(page.resultText, L"未检测到 VS");
    EXPECT_FALSE(visualCpp.detected);
    EnvListEntry& mingw = Entry(otherMingwIde, true);
    page.Choose(mingw);
    EXPECT_EQ(page.resultText, L"未检测到编译器");
    EXPECT_FALSE(mingw.detected);
}

TEST_F(EnvironmentActions, FolderTheInstallWouldRefuseIsRefusedAtTheChoiceWithTheReason)
{
    // The examination would accept these folders: the refusal comes first, so the line never says
    // "found" for an install that would fail. Nothing remote is contacted to tell.
    page.examination = 1;
    for (const wchar_t* chosen : {L"\\\\127.0.0.1\\c$\\VS\\", L"\\\\?\\C:\\VS\\"})
    {
        page.chosenFolder = chosen;
        for (const bool isMingw : {false, true})
        {
            EnvListEntry& entry = Entry(isMingw ? int{otherMingwIde} : int{vc2022Row}, isMingw);
            page.resultPopupOpen = false;
            page.Choose(entry);
            EXPECT_TRUE(page.resultPopupOpen) << chosen;
            EXPECT_EQ(page.resultText, untrustedFolderText) << chosen;
            EXPECT_FALSE(entry.detected) << chosen;
            EXPECT_EQ(entry.infoLine1, L"") << chosen;
        }
    }
}

} // namespace
