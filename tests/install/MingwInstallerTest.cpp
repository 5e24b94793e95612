#include "install/MingwInstaller.h"

#include "ReleaseKit.h"
#include "discovery/EnvironmentTable.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace
{

using namespace TestSupport;

enum IdeIndex
{
    devcpp = 0,
    codeblocks = 1,
    other = 5,
};

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
    Probed(devcpp, L"include\\", L"lib32\\", L"lib\\");
    EXPECT_EQ(InstallMingw(table, devcpp), L"");
    EXPECT_EQ(Installed(),
              (std::set<std::wstring>{L"include\\gravo.h", L"include\\graphics.h", L"lib32\\libgravo.a",
                                      L"lib32\\libgravow.a", L"lib\\libgravo.a", L"lib\\libgravow.a"}));
    EXPECT_EQ(Read(devcpp, L"include\\graphics.h"), ReleaseKit::ContentsOf(L"include\\graphics.h"));
    EXPECT_EQ(Read(devcpp, L"lib32\\libgravo.a"), ReleaseKit::ContentsOf(L"lib_mingw\\lib32\\libgravo.a"));
    EXPECT_EQ(Read(devcpp, L"lib32\\libgravow.a"), ReleaseKit::ContentsOf(L"lib_mingw\\lib32\\libgravow.a"));
    EXPECT_EQ(Read(devcpp, L"lib\\libgravo.a"), ReleaseKit::ContentsOf(L"lib_mingw\\lib64\\libgravo.a"));
    EXPECT_EQ(Read(devcpp, L"lib\\libgravow.a"), ReleaseKit::ContentsOf(L"lib_mingw\\lib64\\libgravow.a"));
}

TEST_F(MingwInstaller, CodeBlocks64BitToolchainReceivesOnlyThe64BitPair)
{
    Probed(codeblocks, L"include\\", L"", L"lib\\");
    EXPECT_EQ(InstallMingw(table, codeblocks), L"");
    EXPECT_EQ(InstalledIn(codeblocks), (std::set<std::wstring>{L"include\\gravo.h", L"include\\graphics.h",
                                                               L"lib\\libgravo.a", L"lib\\libgravow.a"}));
}

TEST_F(MingwInstaller, Devcpp54VariantReceivesOneLibraryAndItsUninstallFailsOnTheWideOne)
{
    Probed(devcpp, L"include\\", L"lib\\", L"", true);
    EXPECT_EQ(InstallMingw(table, devcpp), L"");
    EXPECT_EQ(Installed(),
              (std::set<std::wstring>{L"include\\gravo.h", L"include\\graphics.h", L"lib\\libgravo.a"}));
    EXPECT_EQ(Read(devcpp, L"lib\\libgravo.a"),
              ReleaseKit::ContentsOf(L"lib_mingw\\lib-for-devcpp_5.4.0\\libgravo.a"));
    EXPECT_EQ(UninstallMingw(table, devcpp), L"卸载失败");
    EXPECT_TRUE(Installed().empty());
}

TEST_F(MingwInstaller, ToolchainWithoutAnIncludeFolderTakesTheHeadersAtItsBase)
{
    Probed(other, L"", L"lib\\", L"");
    EXPECT_EQ(InstallMingw(table, other), L"");
    EXPECT_EQ(InstalledIn(other),
              (std::set<std::wstring>{L"gravo.h", L"graphics.h", L"lib\\libgravo.a", L"lib\\libgravow.a"}));
    EXPECT_EQ(UninstallMingw(table, other), L"卸载成功");
    EXPECT_TRUE(InstalledIn(other).empty());
}

TEST_F(MingwInstaller, InstallTwiceSucceedsAndUninstallTwiceFailsTheSecondTime)
{
    Probed(devcpp, L"include\\", L"lib32\\", L"lib\\");
    EXPECT_EQ(InstallMingw(table, devcpp), L"");
    EXPECT_EQ(InstallMingw(table, devcpp), L"");
    EXPECT_EQ(UninstallMingw(table, devcpp), L"卸载成功");
    EXPECT_TRUE(Installed().empty());
    EXPECT_EQ(UninstallMingw(table, devcpp), L"卸载失败");
}

TEST_F(MingwInstaller, FailedCopyStillAttemptsTheRestOfItsStepThenStops)
{
    Probed(devcpp, L"include\\", L"lib32\\", L"lib\\");
    kit.Remove(L"lib_mingw\\lib32\\libgravo.a");
    EXPECT_EQ(InstallMingw(table, devcpp), L"安装失败_lib32");
    EXPECT_EQ(Installed(),
              (std::set<std::wstring>{L"include\\gravo.h", L"include\\graphics.h", L"lib32\\libgravow.a"}));
}

TEST_F(MingwInstaller, EachStepReportsItsOwnFailure)
{
    MingwToolchainRow& row = Probed(devcpp, L"include\\", L"lib32\\", L"lib\\");
    RemoveTree(row.rootDir + L"lib");
    EXPECT_EQ(InstallMingw(table, devcpp), L"安装失败_lib64");
    RemoveTree(row.rootDir + L"include");
    EXPECT_EQ(InstallMingw(table, devcpp), L"安装失败_inlcude");
    EXPECT_EQ(Installed(), (std::set<std::wstring>{L"lib32\\libgravo.a", L"lib32\\libgravow.a"}));
}

TEST_F(MingwInstaller, UninstallStopsAtTheFirstMissingFile)
{
    Probed(devcpp, L"include\\", L"lib32\\", L"lib\\");
    ASSERT_EQ(InstallMingw(table, devcpp), L"");
    DeleteFileW((table.mingwRows[devcpp]->rootDir + L"include\\graphics.h").c_str());
    EXPECT_EQ(UninstallMingw(table, devcpp), L"卸载失败");
    EXPECT_EQ(Installed().size(), 4u) << "the libraries are not attempted";
}

TEST_F(MingwInstaller, UnprobedToolchainTouchesNothingRelativeToTheCurrentFolder)
{
    ScratchFolder current{L"current"};
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(current.Path().c_str());
    WriteTextFile(current / L"include\\gravo.h", "someone else's");
    const std::wstring installed = InstallMingw(table, other);
    const std::wstring uninstalled = UninstallMingw(table, other);
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(installed, L"安装失败_inlcude");
    EXPECT_EQ(uninstalled, L"卸载失败");
    EXPECT_EQ(ListFiles(current.Path()), std::set<std::wstring>{L"include\\gravo.h"});
}

} // namespace
