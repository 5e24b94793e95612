#include "install/MingwInstaller.h"

#include "PlantedLink.h"
#include "ReleaseKit.h"
#include "discovery/EnvironmentTable.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace
{

using namespace TestSupport;

class MingwInstaller : public ::testing::Test
{
protected:
    MingwInstaller() { table.CreateRows(); }

    // A probed tool chain: its base directory and library folders, laid out under the scratch target.
    MingwToolchainRow& Probed(int index, const std::wstring& include, const std::wstring& lib32,
                              const std::wstring& lib64, bool devcpp54 = false)
    {
        MingwToolchainRow& row = *table.mingwRows[index];
        row.rootDir = target / L"mingw64\\x86_64-w64-mingw32\\";
        row.includeSubdir = include;
        row.libSubdir32 = lib32;
        row.libSubdir64 = lib64;
        row.devcpp54Libs = devcpp54;
        for (const std::wstring* subdir : {&include, &lib32, &lib64})
            MakeFolders(row.rootDir + *subdir);
        return row;
    }

    std::set<std::wstring> Installed() const { return ListFiles(table.mingwRows[0]->rootDir); }
    std::set<std::wstring> InstalledIn(int index) const { return ListFiles(table.mingwRows[index]->rootDir); }
    std::string Read(int index, const std::wstring& relative) const
    {
        return ReadTextFile(table.mingwRows[index]->rootDir + relative);
    }

    ReleaseKit kit;
    ScratchFolder target{L"mingw target"};
    EnvironmentTable table;
};

TEST_F(MingwInstaller, ToolchainWithBothLibraryFoldersReceivesSixFiles)
{
    Probed(devcppIde, L"include\\", L"lib32\\", L"lib\\");
    EXPECT_EQ(InstallMingw(table, devcppIde), L"");
    EXPECT_EQ(Installed(),
              (std::set<std::wstring>{L"include\\gravo.h", L"include\\graphics.h", L"lib32\\libgravo.a",
                                      L"lib32\\libgravow.a", L"lib\\libgravo.a", L"lib\\libgravow.a"}));
    EXPECT_EQ(Read(devcppIde, L"include\\graphics.h"), ReleaseKit::ContentsOf(L"include\\graphics.h"));
    EXPECT_EQ(Read(devcppIde, L"lib32\\libgravo.a"), ReleaseKit::ContentsOf(L"lib_mingw\\lib32\\libgravo.a"));
    EXPECT_EQ(Read(devcppIde, L"lib32\\libgravow.a"),
              ReleaseKit::ContentsOf(L"lib_mingw\\lib32\\libgravow.a"));
    EXPECT_EQ(Read(devcppIde, L"lib\\libgravo.a"), ReleaseKit::ContentsOf(L"lib_mingw\\lib64\\libgravo.a"));
    EXPECT_EQ(Read(devcppIde, L"lib\\libgravow.a"), ReleaseKit::ContentsOf(L"lib_mingw\\lib64\\libgravow.a"));
}

TEST_F(MingwInstaller, CodeBlocks64BitToolchainReceivesOnlyThe64BitPair)
{
    Probed(codeBlocksIde, L"include\\", L"", L"lib\\");
    EXPECT_EQ(InstallMingw(table, codeBlocksIde), L"");
    EXPECT_EQ(InstalledIn(codeBlocksIde), (std::set<std::wstring>{L"include\\gravo.h", L"include\\graphics.h",
                                                                  L"lib\\libgravo.a", L"lib\\libgravow.a"}));
}

TEST_F(MingwInstaller, Devcpp54VariantReceivesOneLibraryAndItsUninstallRemovesExactlyThat)
{
    Probed(devcppIde, L"include\\", L"lib\\", L"", true);
    EXPECT_EQ(InstallMingw(table, devcppIde), L"");
    EXPECT_EQ(Installed(),
              (std::set<std::wstring>{L"include\\gravo.h", L"include\\graphics.h", L"lib\\libgravo.a"}));
    EXPECT_EQ(Read(devcppIde, L"lib\\libgravo.a"),
              ReleaseKit::ContentsOf(L"lib_mingw\\lib-for-devcpp_5.4.0\\libgravo.a"));
    EXPECT_EQ(UninstallMingw(table, devcppIde), L"卸载成功");
    EXPECT_TRUE(Installed().empty());
}

TEST_F(MingwInstaller, HandChosenCfreeFolderWithAPlainMingw32ToolchainUninstallsWhatItInstalled)
{
    // What the probe makes of a C-Free folder chosen by hand whose tool chain is a plain "mingw32".
    Probed(cfreeIde, L"include\\", L"lib\\", L"", true);
    EXPECT_EQ(InstallMingw(table, cfreeIde), L"");
    EXPECT_EQ(InstalledIn(cfreeIde).size(), 3u);
    EXPECT_EQ(UninstallMingw(table, cfreeIde), L"卸载成功");
    EXPECT_TRUE(InstalledIn(cfreeIde).empty());
}

TEST_F(MingwInstaller, ToolchainWithoutAnyLibraryFolderReportsTheLibraryStepFailed)
{
    Probed(otherMingwIde, L"include\\", L"", L"");
    EXPECT_EQ(InstallMingw(table, otherMingwIde), L"安装失败_lib32");
    EXPECT_TRUE(InstalledIn(otherMingwIde).empty());
}

TEST_F(MingwInstaller, ForeignGraphicsHeaderIsKeptAndGivenBackByteForByte)
{
    MingwToolchainRow& row = Probed(devcppIde, L"include\\", L"lib32\\", L"lib\\");
    const std::string foreign = "/* another graphics library */\r\n#include <windows.h>\r\n\x01\xfe\xff";
    WriteTextFile(row.rootDir + L"include\\graphics.h", foreign);
    EXPECT_EQ(InstallMingw(table, devcppIde), L"");
    EXPECT_EQ(Read(devcppIde, L"include\\graphics.h"), ReleaseKit::ContentsOf(L"include\\graphics.h"));
    EXPECT_EQ(Read(devcppIde, L"include\\graphics.h.gravo-kept"), foreign);
    EXPECT_EQ(InstallMingw(table, devcppIde), L"") << "installing again replaces the library's own copy";
    EXPECT_EQ(Read(devcppIde, L"include\\graphics.h.gravo-kept"), foreign);
    EXPECT_EQ(UninstallMingw(table, devcppIde), L"卸载成功");
    EXPECT_EQ(Installed(), std::set<std::wstring>{L"include\\graphics.h"});
    EXPECT_EQ(Read(devcppIde, L"include\\graphics.h"), foreign);
}

// Another library's installer put its graphics.h back over the library's: installing again keeps that one
// as well, under the next free name (or drops it when the most recent kept header has its bytes), and the
// uninstall gives back the most recent foreign header, leaving the older one kept.
TEST_F(MingwInstaller, ForeignHeaderPutBackOverTheLibrarysIsKeptTooAndTheMostRecentGivenBack)
{
    MingwToolchainRow& row = Probed(devcppIde, L"include\\", L"lib32\\", L"lib\\");
    const std::wstring header = row.rootDir + L"include\\graphics.h";
    WriteTextFile(header, "the first foreign header");
    ASSERT_EQ(InstallMingw(table, devcppIde), L"");
    for (int round = 0; round < 2; ++round)
    {
        WriteTextFile(header, "the second foreign header");
        EXPECT_EQ(InstallMingw(table, devcppIde), L"") << round;
        EXPECT_EQ(Read(devcppIde, L"include\\graphics.h"), ReleaseKit::ContentsOf(L"include\\graphics.h"));
        EXPECT_EQ(Read(devcppIde, L"include\\graphics.h.gravo-kept"), "the first foreign header");
        EXPECT_EQ(Read(devcppIde, L"include\\graphics.h.gravo-kept-2"), "the second foreign header");
        EXPECT_EQ(Installed().size(), 8u)
            << "round " << round << ": a byte-identical newcomer is not kept twice";
    }
    EXPECT_EQ(UninstallMingw(table, devcppIde), L"卸载成功");
    EXPECT_EQ(Installed(),
              (std::set<std::wstring>{L"include\\graphics.h", L"include\\graphics.h.gravo-kept"}));
    EXPECT_EQ(Read(devcppIde, L"include\\graphics.h"), "the second foreign header");
    EXPECT_EQ(Read(devcppIde, L"include\\graphics.h.gravo-kept"), "the first foreign header");
}

// The library's graphics.h vanished after the install, or the install stopped after the foreign header was
// set aside and before the library's took its place: the uninstall still gives the foreign one back.
TEST_F(MingwInstaller, KeptHeaderIsGivenBackWhenTheLibrarysIsNotThere)
{
    MingwToolchainRow& row = Probed(devcppIde, L"include\\", L"lib32\\", L"lib\\");
    const std::wstring header = row.rootDir + L"include\\graphics.h";
    for (const bool stoppedBetweenRenames : {false, true})
    {
        DeleteFileW(header.c_str());
        if (stoppedBetweenRenames)
        {
            // gravo.h was copied, the foreign header set aside, and the library's never took its place.
            WriteTextFile(row.rootDir + L"include\\gravo.h", ReleaseKit::ContentsOf(L"include\\gravo.h"));
            WriteTextFile(header + L".gravo-kept", "a foreign header");
        }
        else
        {
            WriteTextFile(header, "a foreign header");
            ASSERT_EQ(InstallMingw(table, devcppIde), L"");
            ASSERT_TRUE(DeleteFileW(header.c_str()));
        }
        EXPECT_EQ(UninstallMingw(table, devcppIde), L"卸载失败") << "the library's graphics.h was not there";
        EXPECT_EQ(Read(devcppIde, L"include\\graphics.h"), "a foreign header") << stoppedBetweenRenames;
        EXPECT_FALSE(PathExists(header + L".gravo-kept")) << stoppedBetweenRenames;
    }
}

TEST_F(MingwInstaller, EarlierReleasesGraphicsHeaderIsReplacedAndRemoved)
{
    MingwToolchainRow& row = Probed(devcppIde, L"include\\", L"lib32\\", L"lib\\");
    WriteTextFile(row.rootDir + L"include\\graphics.h", "// Gravo 25.1\n  #  include <gravo.h>\n");
    EXPECT_EQ(InstallMingw(table, devcppIde), L"");
    EXPECT_EQ(Read(devcppIde, L"include\\graphics.h"), ReleaseKit::ContentsOf(L"include\\graphics.h"));
    EXPECT_EQ(Installed().size(), 6u) << "nothing kept";
    EXPECT_EQ(UninstallMingw(table, devcppIde), L"卸载成功");
    EXPECT_TRUE(Installed().empty());
}

TEST_F(MingwInstaller, ReadOnlyReleaseFolderInstallsUninstallsAndInstallsAgain)
{
    Probed(devcppIde, L"include\\", L"lib32\\", L"lib\\");
    for (const std::wstring& file : ReleaseKit::Files())
        SetFileAttributesW((ProgramFolder() + file).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(InstallMingw(table, devcppIde), L"");
    for (const std::wstring& file : Installed())
    {
        const DWORD attributes = GetFileAttributesW((table.mingwRows[devcppIde]->rootDir + file).c_str());
        EXPECT_EQ(attributes & FILE_ATTRIBUTE_READONLY, 0u) << file;
    }
    EXPECT_EQ(UninstallMingw(table, devcppIde), L"卸载成功");
    EXPECT_TRUE(Installed().empty());
    EXPECT_EQ(InstallMingw(table, devcppIde), L"");
    EXPECT_EQ(Installed().size(), 6u);
}

TEST_F(MingwInstaller, ToolchainWithoutAnIncludeFolderTakesTheHeadersAtItsBase)
{
    Probed(otherMingwIde, L"", L"lib\\", L"");
    EXPECT_EQ(InstallMingw(table, otherMingwIde), L"");
    EXPECT_EQ(InstalledIn(otherMingwIde),
              (std::set<std::wstring>{L"gravo.h", L"graphics.h", L"lib\\libgravo.a", L"lib\\libgravow.a"}));
    EXPECT_EQ(UninstallMingw(table, otherMingwIde), L"卸载成功");
    EXPECT_TRUE(InstalledIn(otherMingwIde).empty());
}

TEST_F(MingwInstaller, InstallTwiceSucceedsAndUninstallTwiceFailsTheSecondTime)
{
    Probed(devcppIde, L"include\\", L"lib32\\", L"lib\\");
    EXPECT_EQ(InstallMingw(table, devcppIde), L"");
    EXPECT_EQ(InstallMingw(table, devcppIde), L"");
    EXPECT_EQ(UninstallMingw(table, devcppIde), L"卸载成功");
    EXPECT_TRUE(Installed().empty());
    EXPECT_EQ(UninstallMingw(table, devcppIde), L"卸载失败");
}

TEST_F(MingwInstaller, FailedCopyStillAttemptsTheRestOfItsStepThenStops)
{
    MingwToolchainRow& row = Probed(devcppIde, L"include\\", L"lib32\\", L"lib\\");
    WriteTextFile(row.rootDir + L"lib32\\libgravo.a", "in use");
    HANDLE locked = CreateFileW((row.rootDir + L"lib32\\libgravo.a").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(InstallMingw(table, devcppIde), L"安装失败_lib32");
    CloseHandle(locked);
    EXPECT_EQ(Installed(), (std::set<std::wstring>{L"include\\gravo.h", L"include\\graphics.h",
                                                   L"lib32\\libgravo.a", L"lib32\\libgravow.a"}));
    EXPECT_EQ(Read(devcppIde, L"lib32\\libgravo.a"), "in use");
    EXPECT_EQ(Read(devcppIde, L"lib32\\libgravow.a"),
              ReleaseKit::ContentsOf(L"lib_mingw\\lib32\\libgravow.a"));
}

// A release file that differs from the build's fails the install with the text of its step, before any
// step writes, and the text names the file.
TEST_F(MingwInstaller, ReleaseFileThatIsNotTheBuildsFailsItsStepBeforeAnythingIsWritten)
{
    Probed(devcppIde, L"include\\", L"lib32\\", L"lib\\");
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"include\\graphics.h", L"安装失败_inlcude"},
        {L"lib_mingw\\lib32\\libgravow.a", L"安装失败_lib32"},
        {L"lib_mingw\\lib64\\libgravo.a", L"安装失败_lib64"},
    };
    for (const auto& [file, failure] : cases)
    {
        const std::wstring path = ProgramFolder() + file;
        const std::string bytes = ReadTextFile(path);
        WriteTextFile(path, bytes + "!");
        EXPECT_EQ(InstallMingw(table, devcppIde), failure + L"\n" + file);
        EXPECT_TRUE(Installed().empty()) << file;
        WriteTextFile(path, bytes);
    }
    EXPECT_EQ(InstallMingw(table, devcppIde), L"");
}

TEST_F(MingwInstaller, EachStepReportsItsOwnFailure)
{
    MingwToolchainRow& row = Probed(devcppIde, L"include\\", L"lib32\\", L"lib\\");
    RemoveTree(row.rootDir + L"lib");
    EXPECT_EQ(InstallMingw(table, devcppIde), L"安装失败_lib64");
    RemoveTree(row.rootDir + L"include");
    EXPECT_EQ(InstallMingw(table, devcppIde), L"安装失败_inlcude");
    EXPECT_EQ(Installed(), (std::set<std::wstring>{L"lib32\\libgravo.a", L"lib32\\libgravow.a"}));
}

TEST_F(MingwInstaller, UninstallStopsAtTheFirstMissingFile)
{
    Probed(devcppIde, L"include\\", L"lib32\\", L"lib\\");
    ASSERT_EQ(InstallMingw(table, devcppIde), L"");
    DeleteFileW((table.mingwRows[devcppIde]->rootDir + L"include\\graphics.h").c_str());
    EXPECT_EQ(UninstallMingw(table, devcppIde), L"卸载失败");
    EXPECT_EQ(Installed().size(), 4u) << "the libraries are not attempted";
}

TEST_F(MingwInstaller, UnprobedToolchainTouchesNothingRelativeToTheCurrentFolder)
{
    ScratchFolder current{L"current"};
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(current.Path().c_str());
    WriteTextFile(current / L"include\\gravo.h", "someone else's");
    const std::wstring installed = InstallMingw(table, otherMingwIde);
    const std::wstring uninstalled = UninstallMingw(table, otherMingwIde);
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(installed, L"安装失败_inlcude");
    EXPECT_EQ(uninstalled, L"卸载失败");
    EXPECT_EQ(ListFiles(current.Path()), std::set<std::wstring>{L"include\\gravo.h"});
}

// A link standing in for the include folder of a tool chain, leading to a folder with a user's header and
// copies of the library's own.
class PlantedLinkInMingw : public MingwInstaller, public ::testing::WithParamInterface<LinkKind>
{
protected:
    PlantedLinkInMingw()
    {
        WriteTextFile(elsewhere / L"stdio.h", "a tool chain header");
        WriteTextFile(elsewhere / L"gravo.h", "the library's header");
        WriteTextFile(elsewhere / L"graphics.h", ReleaseKit::ContentsOf(L"include\\graphics.h"));
        RemoveTree(Probed(devcppIde, L"include\\", L"lib32\\", L"lib\\").rootDir + L"include");
    }
    std::wstring LinkPath() const { return table.mingwRows[devcppIde]->rootDir + L"include"; }
    std::wstring LinkTarget() const { return elsewhere.Path().substr(0, elsewhere.Path().size() - 1); }

    ScratchFolder elsewhere{L"link target"};
};

TEST_P(PlantedLinkInMingw, InAFolderUsersMayChangeInstallAndUninstallAreRefused)
{
    const auto before = FolderContents(elsewhere.Path());
    PlantedLink link(LinkPath(), LinkTarget(), GetParam());
    ASSERT_TRUE(link.Made());
    EXPECT_EQ(InstallMingw(table, devcppIde), L"安装失败_inlcude");
    EXPECT_EQ(UninstallMingw(table, devcppIde), L"卸载失败");
    EXPECT_EQ(FolderContents(elsewhere.Path()), before);
}

TEST_P(PlantedLinkInMingw, InAFolderOnlyAdministratorsMayChangeInstallAndUninstallWorkThroughIt)
{
    PlantedLink link(LinkPath(), LinkTarget(), GetParam());
    ASSERT_TRUE(link.Made());
    // Wine 8 reports no link as a reparse point and keeps no folder DACL (see AdmitOnlyAdministrators): what
    // this test shows needs Windows.
    if (!link.ReportedAsLink() || !AdmitOnlyAdministrators(table.mingwRows[devcppIde]->rootDir))
        GTEST_SKIP() << "the system made no reparse point or keeps no administrators-only DACL";
    EXPECT_EQ(InstallMingw(table, devcppIde), L"");
    EXPECT_EQ(UninstallMingw(table, devcppIde), L"卸载成功");
    EXPECT_EQ(ListFiles(elsewhere.Path()), std::set<std::wstring>{L"stdio.h"});
}

INSTANTIATE_TEST_SUITE_P(Links, PlantedLinkInMingw,
                         ::testing::Values(LinkKind::junction, LinkKind::symbolicLink));

} // namespace
