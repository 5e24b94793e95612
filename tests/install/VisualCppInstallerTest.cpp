#include "install/VisualCppInstaller.h"

#include "ReleaseKit.h"
#include "discovery/EnvironmentTable.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace
{

using namespace TestSupport;

enum RowIndex
{
    vc6 = 0,
    vc2010 = 2,
    vc2015 = 5,
    vc2019 = 7,
    vc2022 = 8,
};

class VisualCppInstaller : public ::testing::Test
{
protected:
    VisualCppInstaller() { table.CreateRows(); }

    // Lays out a detected row's directories under the scratch target and fills the row.
    VcToolsetRow& Detect(int index, const std::wstring& root, const std::wstring& include,
                         const std::wstring& x86, const std::wstring& x64)
    {
        VcToolsetRow& row = *table.vcRows[index];
        row.rootDir = target / root;
        row.includeSubdir = include;
        row.libSubdirX86 = x86;
        row.libSubdirX64 = x64;
        for (const std::wstring* subdir : {&include, &x86, &x64})
            MakeFolders(row.rootDir + *subdir);
        return row;
    }

    std::set<std::wstring> Installed() const { return ListFiles(target.Path()); }

    ReleaseKit kit;
    ScratchFolder target{L"vc target"};
    EnvironmentTable table;
};

TEST_F(VisualCppInstaller, Vc2022ReceivesHeadersAnd2015FamilyLibrariesForBothWidths)
{
    Detect(vc2022, L"VC\\Auxiliary\\VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
    EXPECT_EQ(InstallVisualCpp(table, vc2022), L"");
    const std::wstring root = L"VC\\Auxiliary\\VS\\";
    EXPECT_EQ(Installed(), (std::set<std::wstring>{
                               root + L"include\\gravo.h",
                               root + L"include\\graphics.h",
                               root + L"lib\\x86\\Gravoa.lib",
                               root + L"lib\\x86\\Gravow.lib",
                               root + L"lib\\x64\\Gravoa.lib",
                               root + L"lib\\x64\\Gravow.lib",
                           }));
    EXPECT_EQ(ReadTextFile(target / root + L"include\\gravo.h"), ReleaseKit::ContentsOf(L"include\\gravo.h"));
    EXPECT_EQ(ReadTextFile(target / root + L"include\\graphics.h"),
              ReleaseKit::ContentsOf(L"include\\graphics.h"));
    EXPECT_EQ(ReadTextFile(target / root + L"lib\\x86\\Gravoa.lib"),
              ReleaseKit::ContentsOf(L"lib_vs\\VC2015\\x86\\Gravoa.lib"));
    EXPECT_EQ(ReadTextFile(target / root + L"lib\\x86\\Gravow.lib"),
              ReleaseKit::ContentsOf(L"lib_vs\\VC2015\\x86\\Gravow.lib"));
    EXPECT_EQ(ReadTextFile(target / root + L"lib\\x64\\Gravoa.lib"),
              ReleaseKit::ContentsOf(L"lib_vs\\VC2015\\x64\\Gravoa.lib"));
    EXPECT_EQ(ReadTextFile(target / root + L"lib\\x64\\Gravow.lib"),
              ReleaseKit::ContentsOf(L"lib_vs\\VC2015\\x64\\Gravow.lib"));
}

TEST_F(VisualCppInstaller, Vc2010ReceivesThe2008FamilyLibraries)
{
    Detect(vc2010, L"VC\\", L"include\\", L"lib\\", L"lib\\amd64\\");
    EXPECT_EQ(InstallVisualCpp(table, vc2010), L"");
    EXPECT_EQ(Installed().size(), 6u);
    EXPECT_EQ(ReadTextFile(target / L"VC\\lib\\Gravow.lib"),
              ReleaseKit::ContentsOf(L"lib_vs\\VC2008\\x86\\Gravow.lib"));
    EXPECT_EQ(ReadTextFile(target / L"VC\\lib\\amd64\\Gravoa.lib"),
              ReleaseKit::ContentsOf(L"lib_vs\\VC2008\\x64\\Gravoa.lib"));
}

TEST_F(VisualCppInstaller, Vc6ReceivesFourFilesAndItsUninstallSkipsThe64BitStep)
{
    Detect(vc6, L"VC98\\", L"include\\", L"Lib\\", L"");
    EXPECT_EQ(InstallVisualCpp(table, vc6), L"");
    EXPECT_EQ(Installed(), (std::set<std::wstring>{L"VC98\\include\\gravo.h", L"VC98\\include\\graphics.h",
                                                   L"VC98\\Lib\\Gravoa.lib", L"VC98\\Lib\\Gravow.lib"}));
    EXPECT_EQ(ReadTextFile(target / L"VC98\\Lib\\Gravoa.lib"),
              ReleaseKit::ContentsOf(L"lib_vs\\VC6\\x86\\Gravoa.lib"));
    EXPECT_EQ(UninstallVisualCpp(table, vc6), L"卸载成功");
    EXPECT_TRUE(Installed().empty());
}

TEST_F(VisualCppInstaller, GenerationWithoutA64BitDirectoryReceivesFourFiles)
{
    Detect(vc2015, L"VC\\", L"include\\", L"lib\\", L"");
    EXPECT_EQ(InstallVisualCpp(table, vc2015), L"");
    EXPECT_EQ(Installed().size(), 4u);
}

TEST_F(VisualCppInstaller, InstallTwiceOverwritesAndUninstallTwiceFailsAtTheFirstHeader)
{
    Detect(vc2022, L"VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
    WriteTextFile(target / L"VS\\include\\gravo.h", "an older header");
    EXPECT_EQ(InstallVisualCpp(table, vc2022), L"");
    EXPECT_EQ(InstallVisualCpp(table, vc2022), L"");
    EXPECT_EQ(ReadTextFile(target / L"VS\\include\\gravo.h"), ReleaseKit::ContentsOf(L"include\\gravo.h"));
    EXPECT_EQ(UninstallVisualCpp(table, vc2022), L"卸载成功");
    EXPECT_TRUE(Installed().empty());
    EXPECT_EQ(UninstallVisualCpp(table, vc2022), L"卸载失败");
}

TEST_F(VisualCppInstaller, MissingReleaseFileStopsTheInstallThereAndKeepsEarlierCopies)
{
    Detect(vc2022, L"VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
    kit.Remove(L"lib_vs\\VC2015\\x86\\Gravoa.lib");
    EXPECT_EQ(InstallVisualCpp(table, vc2022), L"安装失败");
    EXPECT_EQ(Installed(), (std::set<std::wstring>{L"VS\\include\\gravo.h", L"VS\\include\\graphics.h"}));
}

TEST_F(VisualCppInstaller, LockedHeaderEndsTheInstallBeforeAnyOtherCopy)
{
    Detect(vc2022, L"VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
    WriteTextFile(target / L"VS\\include\\gravo.h", "in use");
    HANDLE locked = CreateFileW((target / L"VS\\include\\gravo.h").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(InstallVisualCpp(table, vc2022), L"安装失败");
    CloseHandle(locked);
    EXPECT_EQ(Installed(), std::set<std::wstring>{L"VS\\include\\gravo.h"});
    EXPECT_EQ(ReadTextFile(target / L"VS\\include\\gravo.h"), "in use");
}

TEST_F(VisualCppInstaller, Missing64BitFolderFailsAfterThe32BitLibraries)
{
    Detect(vc2022, L"VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
    RemoveTree(target / L"VS\\lib\\x64");
    EXPECT_EQ(InstallVisualCpp(table, vc2022), L"安装失败");
    EXPECT_EQ(Installed().size(), 4u);
}

TEST_F(VisualCppInstaller, UninstallStopsAtTheFirstMissingFileAndKeepsItsDeletions)
{
    Detect(vc2022, L"VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
    ASSERT_EQ(InstallVisualCpp(table, vc2022), L"");
    DeleteFileW((target / L"VS\\lib\\x86\\Gravow.lib").c_str());
    EXPECT_EQ(UninstallVisualCpp(table, vc2022), L"卸载失败");
    EXPECT_EQ(Installed(),
              (std::set<std::wstring>{L"VS\\lib\\x64\\Gravoa.lib", L"VS\\lib\\x64\\Gravow.lib"}));
}

TEST_F(VisualCppInstaller, RowWithoutARootTouchesNothingRelativeToTheCurrentFolder)
{
    // What a row looks like after its include folder vanished: root cleared, 64-bit directory kept.
    VcToolsetRow& row = *table.vcRows[vc2022];
    row.libSubdirX64 = L"lib\\x64\\";
    ScratchFolder current{L"current"};
    MakeFolders(current / L"lib\\x64");
    WriteTextFile(current / L"lib\\x64\\Gravoa.lib", "someone else's");
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(current.Path().c_str());
    const std::wstring installed = InstallVisualCpp(table, vc2022);
    const std::wstring uninstalled = UninstallVisualCpp(table, vc2022);
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(installed, L"安装失败");
    EXPECT_EQ(uninstalled, L"卸载失败");
    EXPECT_EQ(ListFiles(current.Path()), std::set<std::wstring>{L"lib\\x64\\Gravoa.lib"});
}

class StaleToolsetCopies : public VisualCppInstaller
{
protected:
    // A 2017-or-later layout whose default tool set folder holds earlier copies of the library.
    void LayOut(int index)
    {
        Detect(index, L"VC\\Auxiliary\\VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
        WriteTextFile(target / L"VC\\Auxiliary\\Build\\Microsoft.VCToolsVersion.default.txt",
                      "14.29.30133\r\n");
        for (const wchar_t* file : staleCopies)
            WriteTextFile(target / L"VC\\Tools\\MSVC\\14.29.30133\\" + file, "stale");
    }
    std::set<std::wstring> StaleLeft() const
    {
        std::set<std::wstring> left;
        for (const wchar_t* file : staleCopies)
        {
            if (PathExists(target / L"VC\\Tools\\MSVC\\14.29.30133\\" + file))
                left.insert(file);
        }
        return left;
    }
    static constexpr const wchar_t* staleCopies[6] = {L"include\\gravo.h",     L"include\\graphics.h",
                                                      L"lib\\x86\\Gravoa.lib", L"lib\\x86\\Gravow.lib",
                                                      L"lib\\x64\\Gravoa.lib", L"lib\\x64\\Gravow.lib"};
};

TEST_F(StaleToolsetCopies, Vc2019InstallAndUninstallRemoveThemFirst)
{
    LayOut(vc2019);
    EXPECT_EQ(InstallVisualCpp(table, vc2019), L"");
    EXPECT_TRUE(StaleLeft().empty());
    for (const wchar_t* file : staleCopies)
        WriteTextFile(target / L"VC\\Tools\\MSVC\\14.29.30133\\" + file, "stale");
    EXPECT_EQ(UninstallVisualCpp(table, vc2019), L"卸载成功");
    EXPECT_TRUE(StaleLeft().empty());
}

TEST_F(StaleToolsetCopies, Vc2022LeavesThemAlone)
{
    LayOut(vc2022);
    EXPECT_EQ(InstallVisualCpp(table, vc2022), L"");
    EXPECT_EQ(StaleLeft().size(), 6u);
}

} // namespace
