#include "discovery/EnvironmentTable.h"
#include "discovery/FolderSearch.h"

#include "FakeInstallations.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace
{

using namespace TestSupport;
using namespace FakeInstallations;

class VcToolsetResolution : public ::testing::Test
{
protected:
    VcToolsetResolution() { table.CreateRows(); }

    EnvListEntry& EntryFor(int rowIndex)
    {
        entry.rowIndex = rowIndex;
        return entry;
    }
    // <name>\VC\ of a 2008-2015 installation whose cl.exe is the given stand-in.
    std::wstring MakeClassicInstallation(const std::wstring& name, const wchar_t* compiler)
    {
        const std::wstring vc = folder / (name + L"\\VC\\");
        CopyProgram(compiler, vc + L"bin\\cl.exe");
        MakeFolders(vc, {L"include", L"lib\\amd64"});
        return vc;
    }
    // <edition>\VC\ of a 2017-or-later installation with one tool set.
    std::wstring MakeToolsetInstallation(const std::wstring& edition, const std::wstring& toolset,
                                         const wchar_t* compiler)
    {
        const std::wstring vc = folder / (edition + L"\\VC\\");
        CopyProgram(compiler, vc + L"Tools\\MSVC\\" + toolset + L"\\bin\\Hostx86\\x86\\cl.exe");
        MakeFolders(vc, {L"Auxiliary\\VS\\include", L"Auxiliary\\VS\\lib\\x86", L"Auxiliary\\VS\\lib\\x64"});
        return vc;
    }
    const VcToolsetRow& Row(int rowIndex) const { return *table.vcRows[rowIndex]; }

    ScratchFolder folder{L"vc resolution"};
    EnvironmentTable table;
    EnvListEntry entry;
};

TEST_F(VcToolsetResolution, Vc2015FolderFillsThe2015Row)
{
    const std::wstring vc = MakeClassicInstallation(L"VS14", L"versioned-19.0.exe");
    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"VS14", EntryFor(vc2015Row), true), 2015);
    EXPECT_EQ(Row(vc2015Row).rootDir, vc);
    EXPECT_EQ(Row(vc2015Row).libSubdirX64, L"lib\\amd64\\");
    EXPECT_EQ(entry.infoLine1, L"头文件路径 " + vc + L"include\\");
    EXPECT_EQ(entry.infoLine2, L"库文件路径 " + vc + L"lib\\ " + vc + L"lib\\amd64\\");
}

TEST_F(VcToolsetResolution, Vc2015FolderOnThe2013RowIsAVersionError)
{
    MakeClassicInstallation(L"VS14", L"versioned-19.0.exe");
    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"VS14", EntryFor(vc2013Row), true), -1);
    EXPECT_EQ(Row(vc2013Row).rootDir, L"");
    EXPECT_EQ(entry.infoLine1, L"");
}

TEST_F(VcToolsetResolution, BinFolderOf2010WalksUpToTheInstallation)
{
    const std::wstring vc = MakeClassicInstallation(L"VS10", L"versioned-16.0.exe");
    EXPECT_EQ(table.AdoptChosenVcDir(vc + L"bin", EntryFor(vc2010Row), true), 2010);
    EXPECT_EQ(Row(vc2010Row).rootDir, vc);
    EXPECT_EQ(table.AdoptChosenVcDir(vc + L"bin", EntryFor(vc2010Row), false), 0);
}

TEST_F(VcToolsetResolution, Vs2019EditionFolderAndTheFolderAboveIt)
{
    MakeToolsetInstallation(L"2019\\Community", L"14.29.30133", L"versioned-19.29.exe");
    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"2019\\Community", EntryFor(vc2019Row), true), 2019);
    EXPECT_EQ(Row(vc2019Row).rootDir, folder / L"2019\\Community\\VC\\Auxiliary\\VS\\");

    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"2019", EntryFor(vc2019Row), true), 2019);
    const std::wstring root = folder / L"2019\\community\\vc\\Auxiliary\\VS\\";
    EXPECT_EQ(Row(vc2019Row).rootDir, root);
    EXPECT_EQ(Row(vc2019Row).libSubdirX86, L"lib\\x86\\");
    EXPECT_EQ(entry.infoLine2, L"库文件路径 " + root + L"lib\\x86\\ " + root + L"lib\\x64\\");
}

TEST_F(VcToolsetResolution, ToolsetFolderMustLookLikeAVersion)
{
    const std::wstring vc = MakeToolsetInstallation(L"Enterprise", L"14.44.35207", L"versioned-19.44.exe");
    CopyProgram(L"versioned-19.29.exe", vc + L"Tools\\MSVC\\v142\\bin\\Hostx86\\x86\\cl.exe");
    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"Enterprise", EntryFor(vc2022Row), true), 2022);
}

TEST_F(VcToolsetResolution, Vc6FolderHasNo64BitLibraries)
{
    const std::wstring vc98 = folder / L"VS6\\VC98\\";
    CopyProgram(L"versioned-12.0.exe", vc98 + L"BIN\\cl.exe");
    MakeFolders(vc98, {L"INCLUDE", L"LIB"});
    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"VS6", EntryFor(vc6Row), true), 6);
    EXPECT_EQ(Row(vc6Row).rootDir, vc98);
    EXPECT_EQ(Row(vc6Row).libSubdirX64, L"");
    EXPECT_EQ(entry.infoLine2, L"库文件路径 " + vc98 + L"lib\\");
}

TEST_F(VcToolsetResolution, CompilerWithoutVersionCountsAsNotFound)
{
    MakeClassicInstallation(L"Odd", L"unversioned.exe");
    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"Odd", EntryFor(vc2015Row), true), 0);
    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"nothing here", EntryFor(vc2015Row), true), 0);
}

// The include and 32-bit library folders are where the library goes: an installation without one of them
// is not found, as the detection pass finds none, and the line stays undetected instead of showing blank
// folders that every install and uninstall would fail on.
TEST_F(VcToolsetResolution, CompilerWithoutIncludeOr32BitLibraryFolderIsNotFound)
{
    struct Layout
    {
        const wchar_t* name;
        int row;
        const wchar_t* compiler;
        const wchar_t* clPath;
        std::vector<std::wstring> folders;
    };
    const std::wstring toolsetCl = L"VC\\Tools\\MSVC\\14.29.30133\\bin\\Hostx86\\x86\\cl.exe";
    const Layout layouts[] = {
        {L"2015 without include", vc2015Row, L"versioned-19.0.exe", L"VC\\bin\\cl.exe", {L"VC\\lib\\amd64"}},
        {L"2015 without lib", vc2015Row, L"versioned-19.0.exe", L"VC\\bin\\cl.exe", {L"VC\\include"}},
        {L"6.0 without lib", vc6Row, L"versioned-12.0.exe", L"VC98\\BIN\\cl.exe", {L"VC98\\INCLUDE"}},
        {L"2019 without include",
         vc2019Row,
         L"versioned-19.29.exe",
         toolsetCl.c_str(),
         {L"VC\\Auxiliary\\VS\\lib\\x86", L"VC\\Auxiliary\\VS\\lib\\x64"}},
        {L"2019 without lib",
         vc2019Row,
         L"versioned-19.29.exe",
         toolsetCl.c_str(),
         {L"VC\\Auxiliary\\VS\\include", L"VC\\Auxiliary\\VS\\lib\\x64"}},
    };
    for (const Layout& layout : layouts)
    {
        const std::wstring installation = folder / (std::wstring(layout.name) + L"\\");
        CopyProgram(layout.compiler, installation + layout.clPath);
        for (const std::wstring& subfolder : layout.folders)
            MakeFolders(installation + subfolder);
        EXPECT_EQ(table.AdoptChosenVcDir(installation, EntryFor(layout.row), true), 0) << layout.name;
        EXPECT_EQ(Row(layout.row).rootDir, L"") << layout.name;
        EXPECT_EQ(entry.infoLine1 + entry.infoLine2, L"") << layout.name;
    }
}

TEST_F(VcToolsetResolution, DocumentationEntryNamesNoRow)
{
    MakeClassicInstallation(L"VS14", L"versioned-19.0.exe");
    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"VS14", EntryFor(-1), true), 0);
}

TEST_F(VcToolsetResolution, ChosenFolderWithoutAmd64LibrariesShowsOnlyTheFoldersThatExist)
{
    const std::wstring vc = folder / L"VS14\\VC\\";
    CopyProgram(L"versioned-19.0.exe", vc + L"bin\\cl.exe");
    MakeFolders(vc, {L"include", L"lib"});
    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"VS14", EntryFor(vc2015Row), true), 2015);
    EXPECT_EQ(Row(vc2015Row).libSubdirX64, L"");
    EXPECT_EQ(entry.infoLine1, L"头文件路径 " + vc + L"include\\");
    EXPECT_EQ(entry.infoLine2, L"库文件路径 " + vc + L"lib\\");

    const std::wstring vs = folder / L"2019\\VC\\";
    CopyProgram(L"versioned-19.29.exe", vs + L"Tools\\MSVC\\14.29.30133\\bin\\Hostx86\\x86\\cl.exe");
    MakeFolders(vs, {L"Auxiliary\\VS\\include", L"Auxiliary\\VS\\lib\\x86"});
    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"2019", EntryFor(vc2019Row), true), 2019);
    EXPECT_EQ(entry.infoLine2, L"库文件路径 " + vs + L"Auxiliary\\VS\\lib\\x86\\");
}

TEST_F(VcToolsetResolution, OfTwoToolsetFoldersTheFirstListedIsUsed)
{
    const std::wstring msvc = folder / L"VS\\VC\\Tools\\MSVC\\";
    MakeFolders(msvc, {L"14.29.30133", L"14.44.35207"});
    MakeFolders(folder / L"VS\\VC\\", {L"Auxiliary\\VS\\include", L"Auxiliary\\VS\\lib\\x86"});
    WIN32_FIND_DATAW data{};
    std::vector<std::wstring> listed;
    HANDLE find = FindFirstFileW((msvc + L"*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do
    {
        if (data.cFileName[0] != L'.')
            listed.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    ASSERT_EQ(listed.size(), 2u);
    // The first listed holds the 2019 compiler, the other the 2022 one: picking the newest would give a
    // version error on the 2019 row.
    CopyProgram(L"versioned-19.29.exe", msvc + listed[0] + L"\\bin\\Hostx86\\x86\\cl.exe");
    CopyProgram(L"versioned-19.44.exe", msvc + listed[1] + L"\\bin\\Hostx86\\x86\\cl.exe");
    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"VS", EntryFor(vc2019Row), true), 2019);
    EXPECT_EQ(table.AdoptChosenVcDir(folder / L"VS", EntryFor(vc2022Row), true), -1);
}

TEST_F(VcToolsetResolution, DriveRootHoldingNothingReturnsNothing)
{
    const std::wstring root = RootPath(folder.Path());
    ASSERT_EQ(FindSubdirNamed(root, L"VC") + FindSubdirNamed(root, L"VC98") +
                  FindSubdirNamed(root, L"community"),
              L"")
        << "the test wants a root without Visual C++";
    EXPECT_EQ(table.AdoptChosenVcDir(root, EntryFor(vc2015Row), true), 0);
    EXPECT_EQ(Row(vc2015Row).rootDir, L"");
}

class DefaultToolset : public VcToolsetResolution
{
protected:
    DefaultToolset() { vc = MakeToolsetInstallation(L"VS", L"14.29.30133", L"versioned-19.29.exe"); }
    const VcToolsetRow& FillRow(int rowIndex)
    {
        VcToolsetRow& row = *table.vcRows[rowIndex];
        row.rootDir = vc + L"Auxiliary\\VS\\";
        row.includeSubdir = L"include\\";
        row.libSubdirX86 = L"lib\\x86\\";
        row.libSubdirX64 = L"lib\\x64\\";
        return row;
    }
    void WriteDefaultVersion(const char* text)
    {
        WriteTextFile(vc + L"Auxiliary\\Build\\Microsoft.VCToolsVersion.default.txt", text);
    }

    std::wstring vc;
};

TEST_F(DefaultToolset, Vs2019RowNamesTheVersionFolderOfTheDefaultFile)
{
    WriteDefaultVersion("\xEF\xBB\xBF"
                        "14.29.30133 \r\n14.00.1\r\n");
    EXPECT_EQ(DefaultToolsetDir(FillRow(vc2019Row)), vc + L"Tools\\MSVC\\14.29.30133\\");
}

TEST_F(DefaultToolset, OnlyVs2017And2019RowsHaveOne)
{
    WriteDefaultVersion("14.29.30133\n");
    EXPECT_EQ(DefaultToolsetDir(FillRow(vc2022Row)), L"");
    EXPECT_EQ(DefaultToolsetDir(FillRow(vc2015Row)), L"");
    EXPECT_EQ(DefaultToolsetDir(FillRow(vc2017Row)), vc + L"Tools\\MSVC\\14.29.30133\\");
}

TEST_F(DefaultToolset, MissingFileOrALineThatIsNoVersionNamesNone)
{
    EXPECT_EQ(DefaultToolsetDir(FillRow(vc2019Row)), L"");
    for (const char* line :
         {"..\\..\\x", "14.29.30133\\..\\..", "14..29", ".14.29", "14.29.", "", "v14.29", "14.29 30133"})
    {
        WriteDefaultVersion(line);
        EXPECT_EQ(DefaultToolsetDir(FillRow(vc2019Row)), L"") << line;
    }
}

} // namespace
