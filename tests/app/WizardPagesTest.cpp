// The wizard's pages in a real graph window: what a frame puts into the back buffer, and what the buttons
// and actions do when they are clicked through the window's own input queue.
#include "app/EnvironmentPage.h"
#include "app/WelcomePage.h"
#include "app/Wizard.h"
#include "app/WizardApp.h"
#include "app/WizardSession.h"
#include "app/WizardState.h"
#include "graphwin/gravo.h"
#include "install/DocumentationShortcut.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

using namespace TestSupport;

DWORD PixelWord(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// A page object whose folder dialog answers with a prepared folder, and whose documentation shortcut lives
// in a scratch folder instead of the user's desktop.
class ScriptedEnvironmentPage : public EnvironmentPage
{
public:
    using EnvironmentPage::EnvironmentPage;
    std::wstring ChooseFolder() override { return chosenFolder; }
    std::wstring InstallDocumentationShortcut() override
    {
        return CreateShortcut(documentationAddress, ShortcutFile()) ? L"" : L"Gravo 文档安装失败。";
    }
    std::wstring UninstallDocumentationShortcut() override
    {
        return DeleteFileW(ShortcutFile().c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ? L"卸载成功"
                                                                                             : L"卸载失败";
    }
    std::wstring ShortcutFile() const { return desktop / L"Gravo_Help.lnk"; }

    std::wstring chosenFolder;
    TestSupport::ScratchFolder desktop{L"desktop"};
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
    // A press and a release in separate frames, posted to the window as the system would.
    void Click(int x, int y)
    {
        const LPARAM at = MAKELPARAM(x, y);
        PostMessageW(window, WM_MOUSEMOVE, 0, at);
        Settle();
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        Settle();
        PostMessageW(window, WM_LBUTTONUP, 0, at);
        Settle();
    }
    // Lets the window thread queue what was posted, then runs a frame on it.
    void Settle()
    {
        Sleep(30);
        Frames(1);
    }
    // The pixel's colour bytes (a byte-wise clear also fills the unused top byte).
    DWORD Pixel(int x, int y) const { return TargetPixels(nullptr)[y * wizardWidth + x] & 0xFFFFFF; }

    std::unique_ptr<WizardSession> session;
    HWND window = nullptr;
    nk_context* context = nullptr;
    WizardApp app;
};

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
    page.Install(Entry(8, false));
    EXPECT_TRUE(page.resultPopupOpen);
    EXPECT_EQ(page.resultText, L"安装失败") << "an undetected Visual C++ row has no target";
    page.Install(Entry(0, true));
    EXPECT_EQ(page.resultText, L"安装失败_inlcude");
    page.resultPopupOpen = false;
    page.Uninstall(Entry(8, false));
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
    EnvListEntry& entry = Entry(8, false);
    page.chosenFolder.clear();
    page.Choose(entry);
    EXPECT_FALSE(page.resultPopupOpen);
    EXPECT_FALSE(entry.detected);
}

TEST_F(EnvironmentActions, FolderWithoutACompilerIsReportedPerKind)
{
    ScratchFolder empty{L"empty choice"};
    page.chosenFolder = empty.Path();
    EnvListEntry& visualCpp = Entry(8, false);
    page.Choose(visualCpp);
    EXPECT_TRUE(page.resultPopupOpen);
    EXPECT_EQ(page.resultText, L"未检测到 VS");
    EXPECT_FALSE(visualCpp.detected);
    EnvListEntry& mingw = Entry(5, true);
    page.Choose(mingw);
    EXPECT_EQ(page.resultText, L"未检测到编译器");
    EXPECT_FALSE(mingw.detected);
}

} // namespace
