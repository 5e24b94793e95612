#include "install/DocumentationShortcut.h"

#include "PlantedLink.h"
#include "win32/UniqueHandles.h"
#include "support/ScratchFolder.h"
#include "support/Wine.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

namespace
{

using namespace TestSupport;

struct LinkContents
{
    std::wstring target;
    std::wstring workingDirectory;
};

LinkContents ReadLink(const std::wstring& linkPath)
{
    LinkContents contents;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void())))
        return contents;
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
        FAILED(file->Load(linkPath.c_str(), STGM_READ)))
        return contents;
    wchar_t buffer[MAX_PATH] = {};
    if (SUCCEEDED(link->GetPath(buffer, MAX_PATH, nullptr, 0)))
        contents.target = buffer;
    buffer[0] = 0;
    if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH)))
        contents.workingDirectory = buffer;
    return contents;
}

// The shortcut operations work on a scratch desktop: no test touches the user's own.
class DocumentationShortcut : public ::testing::Test
{
protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }

    ScratchFolder folder{L"shortcut"};
    ScratchFolder desktopFolder{L"desktop"};
    const std::wstring desktop = desktopFolder.Path().substr(0, desktopFolder.Path().size() - 1);
};

TEST_F(DocumentationShortcut, ShortcutLivesOnTheExistingDesktop)
{
    const std::wstring desktop = DesktopFolder();
    ASSERT_FALSE(desktop.empty());
    EXPECT_NE(desktop.back(), L'\\');
    EXPECT_TRUE(GetFileAttributesW(desktop.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(ShortcutPath(), desktop + L"\\Gravo_Help.lnk");
}

TEST_F(DocumentationShortcut, LinkToAFileReadsBackWithItsFolderAsWorkingDirectory)
{
    const std::wstring target = folder / L"docs\\index.html";
    WriteTextFile(target, "<html></html>");
    const std::wstring linkPath = folder / L"Gravo_Help.lnk";
    ASSERT_TRUE(CreateShortcut(target, linkPath));
    const LinkContents contents = ReadLink(linkPath);
    EXPECT_EQ(contents.target, target);
    EXPECT_EQ(contents.workingDirectory, folder / L"docs");
}

TEST_F(DocumentationShortcut, WritingTwiceLeavesOneLink)
{
    const std::wstring target = folder / L"index.html";
    WriteTextFile(target, "x");
    MakeFolders(folder / L"links");
    ASSERT_TRUE(CreateShortcut(target, folder / L"links\\Gravo_Help.lnk"));
    ASSERT_TRUE(CreateShortcut(target, folder / L"links\\Gravo_Help.lnk"));
    EXPECT_EQ(ListFiles(folder / L"links\\"), std::set<std::wstring>{L"Gravo_Help.lnk"});
}

TEST_F(DocumentationShortcut, LinkIntoAMissingFolderFails)
{
    WriteTextFile(folder / L"index.html", "x");
    EXPECT_FALSE(CreateShortcut(folder / L"index.html", folder / L"missing\\Gravo_Help.lnk"));
    EXPECT_FALSE(PathExists(folder / L"missing"));
}

TEST_F(DocumentationShortcut, WorkingDirectoryIsTheDocumentationAddressCutAtItsLastSlash)
{
    const std::wstring linkPath = folder / L"Gravo_Help.lnk";
    ASSERT_TRUE(CreateShortcut(documentationAddress, linkPath));
    EXPECT_EQ(ReadLink(linkPath).workingDirectory, L"https:/");
    ASSERT_TRUE(CreateShortcut(L"https://docs.gravo.dev/zh/index.html", linkPath));
    EXPECT_EQ(ReadLink(linkPath).workingDirectory, L"https://docs.gravo.dev/zh");
}

TEST_F(DocumentationShortcut, ShortcutPathNamesTheLinkInTheGivenDesktop)
{
    EXPECT_EQ(ShortcutPath(desktop), desktop + L"\\Gravo_Help.lnk");
    EXPECT_EQ(ShortcutPath(L""), L"");
}

TEST_F(DocumentationShortcut, WithoutADesktopFolderNothingIsWritten)
{
    EXPECT_EQ(InstallDocumentation(L""), L"Gravo 文档安装失败。");
    EXPECT_EQ(UninstallDocumentation(L""), L"卸载失败");
}

TEST_F(DocumentationShortcut, InstallPutsTheLinkOnTheDesktop)
{
    EXPECT_EQ(InstallDocumentation(desktop), L"");
    const std::wstring target = ReadLink(ShortcutPath(desktop)).target;
    if (RunningUnderWine())
    {
        // Wine's shell link takes a URL target for a path relative to the current folder and stores
        // "<current folder>\https:\<host>"; Windows stores the address itself.
        EXPECT_NE(target.find(L"https:\\docs.gravo.dev"), std::wstring::npos) << target;
    }
    else
    {
        EXPECT_EQ(target, documentationAddress);
    }
    EXPECT_EQ(InstallDocumentation(desktop), L"") << "installing again overwrites the link";
    EXPECT_EQ(ListFiles(desktopFolder.Path()), std::set<std::wstring>{L"Gravo_Help.lnk"});
}

TEST_F(DocumentationShortcut, UninstallWithoutAShortcutSucceeds)
{
    EXPECT_EQ(UninstallDocumentation(desktop), L"卸载成功");
}

TEST_F(DocumentationShortcut, UninstallDeletesTheShortcut)
{
    WriteTextFile(ShortcutPath(desktop), "link");
    EXPECT_EQ(UninstallDocumentation(desktop), L"卸载成功");
    EXPECT_FALSE(PathExists(ShortcutPath(desktop)));
}

TEST_F(DocumentationShortcut, UninstallOfAShortcutThatCannotBeDeletedFails)
{
    WriteTextFile(ShortcutPath(desktop), "link");
    SetFileAttributesW(ShortcutPath(desktop).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(UninstallDocumentation(desktop), L"卸载失败");
    EXPECT_TRUE(PathExists(ShortcutPath(desktop)));
}

TEST_F(DocumentationShortcut, DesktopThatIsALinkAnOrdinaryUserCouldPlantIsNeitherWrittenNorEmptied)
{
    ScratchFolder elsewhere{L"link target"};
    WriteTextFile(elsewhere / L"Gravo_Help.lnk", "someone else's file");
    const std::wstring linkedDesktop = desktop + L"\\Desktop";
    PlantedLink link(linkedDesktop, elsewhere.Path().substr(0, elsewhere.Path().size() - 1),
                     LinkKind::junction);
    ASSERT_TRUE(link.Made());
    EXPECT_EQ(DesktopLine(linkedDesktop), L"桌面路径 " + linkedDesktop + untrustedDesktopNote)
        << "the line says before the install why it will fail";
    EXPECT_EQ(InstallDocumentation(linkedDesktop), L"Gravo 文档安装失败。");
    EXPECT_EQ(UninstallDocumentation(linkedDesktop), L"卸载失败") << "a shortcut is there and stays";
    EXPECT_EQ(FolderContents(elsewhere.Path()),
              (std::map<std::wstring, std::string>{{L"Gravo_Help.lnk", "someone else's file"}}));

    ASSERT_TRUE(DeleteFileW((elsewhere / L"Gravo_Help.lnk").c_str()));
    EXPECT_EQ(UninstallDocumentation(linkedDesktop), L"卸载成功") << "no shortcut there: nothing to remove";
}

TEST_F(DocumentationShortcut, DesktopLineOfAnOrdinaryDesktopIsThePathAlone)
{
    EXPECT_EQ(DesktopLine(desktop), L"桌面路径 " + desktop);
    EXPECT_EQ(DesktopLine(L""), L"桌面路径 ");
}

} // namespace
