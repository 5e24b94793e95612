#include "install/VisualCppInstaller.h"

#include "PlantedLink.h"
#include "ReleaseKit.h"
#include "discovery/EnvironmentTable.h"
#include "support/ScratchFolder.h"
#include "win32/UniqueHandles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

namespace
{

using namespace TestSupport;

// A graphics.h of an earlier release: not the release's bytes, but it includes the library's header.
const std::string earlierGraphicsHeader = "// Gravo 25.1\r\n#include \"gravo.h\"\r\n";

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
    Detect(vc2022Row, L"VC\\Auxiliary\\VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"");
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
    Detect(vc2010Row, L"VC\\", L"include\\", L"lib\\", L"lib\\amd64\\");
    EXPECT_EQ(InstallVisualCpp(table, vc2010Row), L"");
    EXPECT_EQ(Installed().size(), 6u);
    EXPECT_EQ(ReadTextFile(target / L"VC\\lib\\Gravow.lib"),
              ReleaseKit::ContentsOf(L"lib_vs\\VC2008\\x86\\Gravow.lib"));
    EXPECT_EQ(ReadTextFile(target / L"VC\\lib\\amd64\\Gravoa.lib"),
              ReleaseKit::ContentsOf(L"lib_vs\\VC2008\\x64\\Gravoa.lib"));
}

TEST_F(VisualCppInstaller, Vc6ReceivesFourFilesAndItsUninstallSkipsThe64BitStep)
{
    Detect(vc6Row, L"VC98\\", L"include\\", L"Lib\\", L"");
    EXPECT_EQ(InstallVisualCpp(table, vc6Row), L"");
    EXPECT_EQ(Installed(), (std::set<std::wstring>{L"VC98\\include\\gravo.h", L"VC98\\include\\graphics.h",
                                                   L"VC98\\Lib\\Gravoa.lib", L"VC98\\Lib\\Gravow.lib"}));
    EXPECT_EQ(ReadTextFile(target / L"VC98\\Lib\\Gravoa.lib"),
              ReleaseKit::ContentsOf(L"lib_vs\\VC6\\x86\\Gravoa.lib"));
    EXPECT_EQ(UninstallVisualCpp(table, vc6Row), L"卸载成功");
    EXPECT_TRUE(Installed().empty());
}

TEST_F(VisualCppInstaller, GenerationWithoutA64BitDirectoryReceivesFourFiles)
{
    Detect(vc2015Row, L"VC\\", L"include\\", L"lib\\", L"");
    EXPECT_EQ(InstallVisualCpp(table, vc2015Row), L"");
    EXPECT_EQ(Installed().size(), 4u);
}

TEST_F(VisualCppInstaller, InstallTwiceOverwritesAndUninstallTwiceFailsAtTheFirstHeader)
{
    Detect(vc2022Row, L"VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
    WriteTextFile(target / L"VS\\include\\gravo.h", "an older header");
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"");
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"");
    EXPECT_EQ(ReadTextFile(target / L"VS\\include\\gravo.h"), ReleaseKit::ContentsOf(L"include\\gravo.h"));
    EXPECT_EQ(UninstallVisualCpp(table, vc2022Row), L"卸载成功");
    EXPECT_TRUE(Installed().empty());
    EXPECT_EQ(UninstallVisualCpp(table, vc2022Row), L"卸载失败");
}

TEST_F(VisualCppInstaller, MissingReleaseFileFailsTheInstallBeforeAnyCopyAndIsNamed)
{
    Detect(vc2022Row, L"VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
    kit.Remove(L"lib_vs\\VC2015\\x86\\Gravoa.lib");
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"安装失败\nlib_vs\\VC2015\\x86\\Gravoa.lib");
    EXPECT_TRUE(Installed().empty());
}

TEST_F(VisualCppInstaller, LockedHeaderEndsTheInstallBeforeAnyOtherCopy)
{
    Detect(vc2022Row, L"VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
    WriteTextFile(target / L"VS\\include\\gravo.h", "in use");
    HANDLE locked = CreateFileW((target / L"VS\\include\\gravo.h").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"安装失败");
    CloseHandle(locked);
    EXPECT_EQ(Installed(), std::set<std::wstring>{L"VS\\include\\gravo.h"});
    EXPECT_EQ(ReadTextFile(target / L"VS\\include\\gravo.h"), "in use");
}

TEST_F(VisualCppInstaller, Missing64BitFolderFailsAfterThe32BitLibraries)
{
    Detect(vc2022Row, L"VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
    RemoveTree(target / L"VS\\lib\\x64");
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"安装失败");
    EXPECT_EQ(Installed().size(), 4u);
}

TEST_F(VisualCppInstaller, UninstallStopsAtTheFirstMissingFileAndKeepsItsDeletions)
{
    Detect(vc2022Row, L"VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\");
    ASSERT_EQ(InstallVisualCpp(table, vc2022Row), L"");
    DeleteFileW((target / L"VS\\lib\\x86\\Gravow.lib").c_str());
    EXPECT_EQ(UninstallVisualCpp(table, vc2022Row), L"卸载失败");
    EXPECT_EQ(Installed(),
              (std::set<std::wstring>{L"VS\\lib\\x64\\Gravoa.lib", L"VS\\lib\\x64\\Gravow.lib"}));
}

TEST_F(VisualCppInstaller, RowWithoutARootTouchesNothingRelativeToTheCurrentFolder)
{
    // What a row looks like after its include folder vanished: root cleared, 64-bit directory kept.
    VcToolsetRow& row = *table.vcRows[vc2022Row];
    row.libSubdirX64 = L"lib\\x64\\";
    ScratchFolder current{L"current"};
    MakeFolders(current / L"lib\\x64");
    WriteTextFile(current / L"lib\\x64\\Gravoa.lib", "someone else's");
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(current.Path().c_str());
    const std::wstring installed = InstallVisualCpp(table, vc2022Row);
    const std::wstring uninstalled = UninstallVisualCpp(table, vc2022Row);
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
        PlantCopies(toolset);
    }
    // The library's files as an earlier install left them below a folder.
    void PlantCopies(const std::wstring& folder) const
    {
        for (const wchar_t* file : staleCopies)
            WriteTextFile(target / folder + file,
                          std::wstring(file) == L"include\\graphics.h" ? earlierGraphicsHeader : "stale");
    }
    std::set<std::wstring> StaleLeft() const
    {
        std::set<std::wstring> left;
        for (const wchar_t* file : staleCopies)
        {
            if (PathExists(target / toolset + file))
                left.insert(file);
        }
        return left;
    }
    static constexpr const wchar_t* toolset = L"VC\\Tools\\MSVC\\14.29.30133\\";
    static constexpr const wchar_t* staleCopies[6] = {L"include\\gravo.h",     L"include\\graphics.h",
                                                      L"lib\\x86\\Gravoa.lib", L"lib\\x86\\Gravow.lib",
                                                      L"lib\\x64\\Gravoa.lib", L"lib\\x64\\Gravow.lib"};
};

TEST_F(StaleToolsetCopies, Vc2019InstallAndUninstallRemoveThemFirst)
{
    LayOut(vc2019Row);
    EXPECT_EQ(InstallVisualCpp(table, vc2019Row), L"");
    EXPECT_TRUE(StaleLeft().empty());
    PlantCopies(toolset);
    EXPECT_EQ(UninstallVisualCpp(table, vc2019Row), L"卸载成功");
    EXPECT_TRUE(StaleLeft().empty());
}

TEST_F(StaleToolsetCopies, Vc2019RemovesThemEvenWhenTheFirstHeaderCannotBeCopied)
{
    LayOut(vc2019Row);
    const std::wstring header = target / L"VC\\Auxiliary\\VS\\include\\gravo.h";
    WriteTextFile(header, "in use");
    UniqueFile locked(CreateFileW(header.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locked);
    EXPECT_EQ(InstallVisualCpp(table, vc2019Row), L"安装失败");
    EXPECT_TRUE(StaleLeft().empty()) << "the cleanup runs before the first copy";
}

TEST_F(StaleToolsetCopies, Vc2022LeavesThemAlone)
{
    LayOut(vc2022Row);
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"");
    EXPECT_EQ(StaleLeft().size(), 6u);
}

TEST_F(StaleToolsetCopies, Vc2026InstallAndUninstallLeaveThemAlone)
{
    LayOut(vc2026Row);
    EXPECT_EQ(InstallVisualCpp(table, vc2026Row), L"");
    EXPECT_EQ(UninstallVisualCpp(table, vc2026Row), L"卸载成功");
    EXPECT_EQ(StaleLeft().size(), 6u);
}

TEST_F(StaleToolsetCopies, ForeignGraphicsHeaderInTheToolSetFolderSurvivesInstallAndUninstall)
{
    LayOut(vc2019Row);
    const std::string foreign = "/* another library's graphics.h */\r\n#include <windows.h>\r\n";
    WriteTextFile(target / toolset + L"include\\graphics.h", foreign);
    EXPECT_EQ(InstallVisualCpp(table, vc2019Row), L"");
    EXPECT_EQ(StaleLeft(), std::set<std::wstring>{L"include\\graphics.h"});
    EXPECT_EQ(UninstallVisualCpp(table, vc2019Row), L"卸载成功");
    EXPECT_EQ(ReadTextFile(target / toolset + L"include\\graphics.h"), foreign);
}

TEST_F(StaleToolsetCopies, DefaultFileThatClimbsOutOfTheToolSetFoldersDeletesNothing)
{
    LayOut(vc2019Row);
    WriteTextFile(target / L"VC\\Auxiliary\\Build\\Microsoft.VCToolsVersion.default.txt", "..\\..\\x\r\n");
    // Where "VC\Tools\MSVC\..\..\x\" leads.
    PlantCopies(L"VC\\x\\");
    EXPECT_EQ(InstallVisualCpp(table, vc2019Row), L"");
    EXPECT_EQ(UninstallVisualCpp(table, vc2019Row), L"卸载成功");
    EXPECT_EQ(ListFiles(target / L"VC\\x\\").size(), 6u);
    EXPECT_EQ(StaleLeft().size(), 6u);
}

class VisualCppTargets : public VisualCppInstaller
{
protected:
    VcToolsetRow& Vc2022() { return Detect(vc2022Row, L"VS\\", L"include\\", L"lib\\x86\\", L"lib\\x64\\"); }
};

TEST_F(VisualCppTargets, ForeignGraphicsHeaderIsKeptAndGivenBackByteForByte)
{
    VcToolsetRow& row = Vc2022();
    const std::string foreign = "/* another library */\r\n#pragma once\r\n\x01\xfe\xff";
    WriteTextFile(row.rootDir + L"include\\graphics.h", foreign);
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"");
    EXPECT_EQ(ReadTextFile(row.rootDir + L"include\\graphics.h"),
              ReleaseKit::ContentsOf(L"include\\graphics.h"));
    EXPECT_EQ(ReadTextFile(row.rootDir + L"include\\graphics.h.gravo-kept"), foreign);
    EXPECT_EQ(UninstallVisualCpp(table, vc2022Row), L"卸载成功");
    EXPECT_EQ(Installed(), std::set<std::wstring>{L"VS\\include\\graphics.h"});
    EXPECT_EQ(ReadTextFile(row.rootDir + L"include\\graphics.h"), foreign);
}

TEST_F(VisualCppTargets, EarlierReleasesGraphicsHeaderIsReplacedAndRemoved)
{
    VcToolsetRow& row = Vc2022();
    WriteTextFile(row.rootDir + L"include\\graphics.h", earlierGraphicsHeader);
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"");
    EXPECT_EQ(ReadTextFile(row.rootDir + L"include\\graphics.h"),
              ReleaseKit::ContentsOf(L"include\\graphics.h"));
    EXPECT_EQ(Installed().size(), 6u) << "nothing kept";
    EXPECT_EQ(UninstallVisualCpp(table, vc2022Row), L"卸载成功");
    EXPECT_TRUE(Installed().empty());
}

TEST_F(VisualCppTargets, UninstallLeavesAForeignGraphicsHeaderThatTookTheLibrarysPlace)
{
    VcToolsetRow& row = Vc2022();
    ASSERT_EQ(InstallVisualCpp(table, vc2022Row), L"");
    WriteTextFile(row.rootDir + L"include\\graphics.h", "someone else's");
    EXPECT_EQ(UninstallVisualCpp(table, vc2022Row), L"卸载失败");
    EXPECT_EQ(ReadTextFile(row.rootDir + L"include\\graphics.h"), "someone else's");
}

TEST_F(VisualCppTargets, ReadOnlyReleaseFolderInstallsUninstallsAndInstallsAgain)
{
    Vc2022();
    for (const std::wstring& file : ReleaseKit::Files())
        SetFileAttributesW((ProgramFolder() + file).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"");
    for (const std::wstring& file : Installed())
        EXPECT_EQ(GetFileAttributesW((target / file).c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << file;
    EXPECT_EQ(UninstallVisualCpp(table, vc2022Row), L"卸载成功");
    EXPECT_TRUE(Installed().empty());
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"");
    EXPECT_EQ(Installed().size(), 6u);
}

TEST_F(VisualCppTargets, RemoteTargetIsRefused)
{
    VcToolsetRow& row = *table.vcRows[vc2022Row];
    row.rootDir = L"\\\\127.0.0.1\\c$\\VS\\";
    row.includeSubdir = L"include\\";
    row.libSubdirX86 = L"lib\\x86\\";
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"安装失败");
    EXPECT_EQ(UninstallVisualCpp(table, vc2022Row), L"卸载失败");
}

TEST_F(VisualCppTargets, FailedCopyLeavesNoTemporaryFileBehind)
{
    VcToolsetRow& row = Vc2022();
    WriteTextFile(row.rootDir + L"lib\\x64\\Gravow.lib", "in use");
    HANDLE locked = CreateFileW((row.rootDir + L"lib\\x64\\Gravow.lib").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"安装失败");
    CloseHandle(locked);
    EXPECT_EQ(Installed().size(), 6u);
    EXPECT_EQ(ReadTextFile(row.rootDir + L"lib\\x64\\Gravow.lib"), "in use");
    for (const std::wstring& file : Installed())
        EXPECT_EQ(file.find(L"~gravo"), std::wstring::npos) << file;
}

// A release file that is not the build's: changed after the build, or reached through a link planted in the
// release folder. The install refuses before it deletes or writes anything, and names the file.
class RefusedRelease : public StaleToolsetCopies
{
protected:
    // Visual Studio 2019, whose default tool set folder holds an earlier install's copies: the clean-up that
    // runs before the copies must not run either.
    void ExpectRefusedWithNothingChanged(const std::wstring& file)
    {
        LayOut(vc2019Row);
        const auto before = FolderContents(target.Path());
        EXPECT_EQ(InstallVisualCpp(table, vc2019Row), L"安装失败\n" + file);
        EXPECT_EQ(FolderContents(target.Path()), before);
    }
    // Makes the release folder's VC2015\x64 a link to a folder whose files have the build's bytes.
    void LinkReleaseFolder(LinkKind kind)
    {
        for (const wchar_t* name : {L"Gravoa.lib", L"Gravow.lib"})
            WriteTextFile(elsewhere / name, ReleaseKit::ContentsOf(linkedFolder + L"\\" + name));
        releaseLink.reset();
        RemoveTree(ProgramFolder() + linkedFolder);
        releaseLink = std::make_unique<PlantedLink>(
            ProgramFolder() + linkedFolder, elsewhere.Path().substr(0, elsewhere.Path().size() - 1), kind);
        ASSERT_TRUE(releaseLink->Made());
    }

    const std::wstring linkedFolder = L"lib_vs\\VC2015\\x64";
    ScratchFolder elsewhere{L"release link target"};
    std::unique_ptr<PlantedLink> releaseLink;
};

class TamperedRelease : public RefusedRelease, public ::testing::WithParamInterface<std::wstring>
{
};

TEST_P(TamperedRelease, FileChangedAfterTheBuildIsRefused)
{
    const std::wstring path = ProgramFolder() + GetParam();
    WriteTextFile(path, ReadTextFile(path) + " ");
    ExpectRefusedWithNothingChanged(GetParam());
}

// A link in the release folder, which users may change, is not taken: the files behind it count as
// differing although their bytes are the build's.
TEST_F(RefusedRelease, FileReachedThroughAPlantedLinkIsRefused)
{
    for (LinkKind kind : {LinkKind::junction, LinkKind::symbolicLink})
    {
        LinkReleaseFolder(kind);
        ExpectRefusedWithNothingChanged(linkedFolder + L"\\Gravoa.lib");
    }
}

// The same link in a folder that only administrators may change passes the walk's rule.
TEST_F(RefusedRelease, FileReachedThroughALinkInAnAdministratorsOnlyFolderIsTaken)
{
    LinkReleaseFolder(LinkKind::junction);
    // Wine 8 reports no link as a reparse point and keeps no folder DACL (see PathTrustTest).
    if (!releaseLink->ReportedAsLink() || !AdmitOnlyAdministrators(ProgramFolder() + L"lib_vs\\VC2015"))
        GTEST_SKIP()
            << "the system made no reparse point or keeps no administrators-only DACL; on Windows the "
               "release files behind a junction in an administrators-only folder install";
    LayOut(vc2019Row);
    EXPECT_EQ(InstallVisualCpp(table, vc2019Row), L"");
    EXPECT_EQ(ReadTextFile(target / L"VC\\Auxiliary\\VS\\lib\\x64\\Gravow.lib"),
              ReleaseKit::ContentsOf(linkedFolder + L"\\Gravow.lib"));
}

INSTANTIATE_TEST_SUITE_P(ReleaseFiles, TamperedRelease,
                         ::testing::Values(L"include\\gravo.h", L"include\\graphics.h",
                                           L"lib_vs\\VC2015\\x86\\Gravoa.lib",
                                           L"lib_vs\\VC2015\\x64\\Gravow.lib"));

// A link (junction or directory symbolic link) standing in for the include folder, leading to a folder
// that holds a user's header and copies of the library's own.
class PlantedLinkInVisualCpp : public VisualCppTargets, public ::testing::WithParamInterface<LinkKind>
{
protected:
    PlantedLinkInVisualCpp()
    {
        WriteTextFile(elsewhere / L"windows.h", "a system header");
        WriteTextFile(elsewhere / L"gravo.h", "the library's header");
        WriteTextFile(elsewhere / L"graphics.h", earlierGraphicsHeader);
        RemoveTree(Vc2022().rootDir + L"include");
    }
    std::wstring LinkPath() const { return table.vcRows[vc2022Row]->rootDir + L"include"; }
    std::wstring LinkTarget() const { return elsewhere.Path().substr(0, elsewhere.Path().size() - 1); }

    ScratchFolder elsewhere{L"link target"};
};

TEST_P(PlantedLinkInVisualCpp, InAFolderUsersMayChangeInstallAndUninstallAreRefused)
{
    const auto before = FolderContents(elsewhere.Path());
    PlantedLink link(LinkPath(), LinkTarget(), GetParam());
    ASSERT_TRUE(link.Made());
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"安装失败");
    EXPECT_EQ(UninstallVisualCpp(table, vc2022Row), L"卸载失败");
    EXPECT_EQ(FolderContents(elsewhere.Path()), before);
}

TEST_P(PlantedLinkInVisualCpp, InAFolderOnlyAdministratorsMayChangeInstallAndUninstallWorkThroughIt)
{
    PlantedLink link(LinkPath(), LinkTarget(), GetParam());
    ASSERT_TRUE(link.Made());
    // Wine 8 reports no link as a reparse point and keeps no folder DACL (see AdmitOnlyAdministrators): what
    // this test shows needs Windows.
    if (!link.ReportedAsLink() || !AdmitOnlyAdministrators(table.vcRows[vc2022Row]->rootDir))
        GTEST_SKIP() << "the system made no reparse point or keeps no administrators-only DACL";
    EXPECT_EQ(InstallVisualCpp(table, vc2022Row), L"");
    EXPECT_EQ(ReadTextFile(elsewhere / L"graphics.h"), ReleaseKit::ContentsOf(L"include\\graphics.h"));
    EXPECT_EQ(UninstallVisualCpp(table, vc2022Row), L"卸载成功");
    EXPECT_EQ(ListFiles(elsewhere.Path()), std::set<std::wstring>{L"windows.h"});
}

INSTANTIATE_TEST_SUITE_P(Links, PlantedLinkInVisualCpp,
                         ::testing::Values(LinkKind::junction, LinkKind::symbolicLink));

} // namespace
