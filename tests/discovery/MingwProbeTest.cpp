#include "discovery/EnvironmentTable.h"
#include "discovery/FolderSearch.h"
#include "discovery/MingwProbe.h"

#include "../install/PlantedLink.h"
#include "FakeInstallations.h"
#include "support/ScratchFolder.h"
#include "win32/TextConversion.h"

#include <gtest/gtest.h>

namespace
{

using namespace TestSupport;
using namespace FakeInstallations;

const wchar_t seh64Report[] = L"x86_64-posix-seh-msvcrt-gcc8.1.0.txt";
const wchar_t sjlj64Report[] = L"x86_64-posix-sjlj-msvcrt-gcc8.1.0.txt";
const wchar_t dwarf32Report[] = L"i686-posix-dwarf-msvcrt-gcc5.3.0-consolewrapped.txt";
const wchar_t mingwOrgReport[] = L"mingw32-win32-dwarf-mingw.org-gcc6.3.0.txt";
const wchar_t ucrtReport[] = L"msys2-ucrt64-x86_64-posix-seh-ucrt-gcc15.2.0.txt";
const wchar_t mcfReport[] = L"mingwbuilds-x86_64-mcf-seh-gcc15.1.0-ELIDED.txt";

class MingwProbe : public ::testing::Test
{
protected:
    MingwProbe() { table.CreateRows(); }

    int Probe(const std::wstring& directory, int ideIndex)
    {
        entry.rowIndex = ideIndex;
        entry.isMingw = true;
        return table.ProbeMingwEnvironment(directory, ideIndex, &entry, false);
    }
    // <root>bin\gcc.exe and <root>x86_64-w64-mingw32\ with the given library folders.
    std::wstring Make64BitToolchain(const std::wstring& root, const wchar_t* report,
                                    std::initializer_list<const wchar_t*> libFolders)
    {
        InstallStandInGcc(root + L"bin\\", report);
        const std::wstring triplet = root + L"x86_64-w64-mingw32\\";
        MakeFolders(triplet, {L"include"});
        MakeFolders(triplet, libFolders);
        return triplet;
    }
    // <root>bin\gcc.exe, the runtime DLL in <root>bin\ and <root>i686-w64-mingw32\ with include\ and the
    // library folders; returns that triplet folder.
    std::wstring MakeI686Toolchain(const std::wstring& root, const wchar_t* runtimeDll,
                                   std::initializer_list<const wchar_t*> libFolders)
    {
        InstallStandInGcc(root + L"bin\\", dwarf32Report);
        WriteTextFile(root + L"bin\\" + runtimeDll, "");
        const std::wstring triplet = root + L"i686-w64-mingw32\\";
        MakeFolders(triplet, {L"include"});
        MakeFolders(triplet, libFolders);
        return triplet;
    }
    // <root>bin\, <root>include\, <root>lib\ and <root>mingw32\ holding only bin\ and lib\ (MinGW.org).
    void MakePlainMingw32(const std::wstring& root)
    {
        InstallStandInGcc(root + L"bin\\", mingwOrgReport);
        MakeFiles(root, {L"bin\\libgcc_s_dw2-1.dll"});
        MakeFolders(root, {L"include", L"lib", L"mingw32\\bin", L"mingw32\\lib"});
    }
    const MingwToolchainRow& Row(int ideIndex) const { return *table.mingwRows[ideIndex]; }

    ScratchFolder folder{L"toolchain probe"};
    EnvironmentTable table;
    EnvListEntry entry;
};

TEST_F(MingwProbe, DevCppWith64BitToolchainAndBothLibraryFolders)
{
    CopyProgram(L"versioned-5.11.exe", folder / L"Dev-Cpp\\devcpp.exe");
    const std::wstring base =
        Make64BitToolchain(folder / L"Dev-Cpp\\MinGW64\\", seh64Report, {L"lib", L"lib32"});
    MakeFiles(folder / L"Dev-Cpp\\MinGW64\\", {L"bin\\libgcc_s_seh-1.dll"});

    EXPECT_EQ(Probe(folder / L"Dev-Cpp", devcppIde), 1);
    EXPECT_EQ(Row(devcppIde).rootDir, base);
    EXPECT_EQ(Row(devcppIde).libSubdir32, L"lib32\\");
    EXPECT_EQ(Row(devcppIde).libSubdir64, L"lib\\");
    EXPECT_TRUE(Row(devcppIde).hasBothLibDirs);
    EXPECT_FALSE(Row(devcppIde).devcpp54Libs);
    EXPECT_EQ(entry.infoLine1, L"头文件路径 " + base + L"include\\");
    EXPECT_EQ(entry.infoLine2, L"库文件路径 " + base + L"lib32\\ " + base + L"lib\\");
}

TEST_F(MingwProbe, I686ToolchainWithoutLib64HasOneLibraryFolder)
{
    const std::wstring base = MakeI686Toolchain(folder / L"mingw32\\", L"libgcc_s_dw2-1.dll", {L"lib"});
    EXPECT_EQ(Probe(folder / L"mingw32", otherMingwIde), 1);
    EXPECT_EQ(Row(otherMingwIde).rootDir, base);
    EXPECT_EQ(Row(otherMingwIde).libSubdir32, L"lib\\");
    EXPECT_EQ(Row(otherMingwIde).libSubdir64, L"");
    EXPECT_EQ(entry.infoLine2, L"库文件路径 " + base + L"lib\\");
}

TEST_F(MingwProbe, PlainMingw32OfDevCpp54TakesTheDevCpp54Libraries)
{
    CopyProgram(L"versioned-5.4.exe", folder / L"Dev-Cpp\\devcpp.exe");
    MakePlainMingw32(folder / L"Dev-Cpp\\MinGW32\\");

    EXPECT_EQ(Probe(folder / L"Dev-Cpp", devcppIde), 1);
    EXPECT_TRUE(Row(devcppIde).devcpp54Libs);
    EXPECT_EQ(Row(devcppIde).rootDir, folder / L"Dev-Cpp\\MinGW32\\");
    EXPECT_EQ(entry.infoLine2, L"库文件路径 " + folder / L"Dev-Cpp\\MinGW32\\lib\\");
}

TEST_F(MingwProbe, DevCpp511DoesNotTakeTheDevCpp54Libraries)
{
    CopyProgram(L"versioned-5.11.exe", folder / L"Dev-Cpp\\devcpp.exe");
    MakePlainMingw32(folder / L"Dev-Cpp\\MinGW32\\");
    EXPECT_EQ(Probe(folder / L"Dev-Cpp", devcppIde), 1);
    EXPECT_FALSE(Row(devcppIde).devcpp54Libs);
}

TEST_F(MingwProbe, DevCppExecutableWithoutVersionEndsTheProbe)
{
    CopyProgram(L"unversioned.exe", folder / L"Dev-Cpp\\devcpp.exe");
    MakePlainMingw32(folder / L"Dev-Cpp\\MinGW32\\");
    EXPECT_EQ(Probe(folder / L"Dev-Cpp", devcppIde), 0);
    EXPECT_EQ(entry.infoLine1, L"");
}

TEST_F(MingwProbe, CfreeAlwaysTakesTheDevCpp54Libraries)
{
    MakePlainMingw32(folder / L"C-Free 5\\mingw\\");
    EXPECT_EQ(Probe(folder / L"C-Free 5", cfreeIde), 1);
    EXPECT_TRUE(Row(cfreeIde).devcpp54Libs);
}

TEST_F(MingwProbe, CodeBlocksWith64BitToolchainGetsOnly64BitLibraries)
{
    const std::wstring base =
        Make64BitToolchain(folder / L"CodeBlocks\\MinGW\\", seh64Report, {L"lib", L"lib32"});
    EXPECT_EQ(Probe(folder / L"CodeBlocks", codeBlocksIde), 1);
    EXPECT_EQ(Row(codeBlocksIde).libSubdir32, L"");
    EXPECT_EQ(Row(codeBlocksIde).libSubdir64, L"lib\\");
    EXPECT_FALSE(Row(codeBlocksIde).hasBothLibDirs);
    EXPECT_EQ(entry.infoLine2, L"库文件路径 " + base + L"lib\\");
}

TEST_F(MingwProbe, ToolchainInTheIdesOwnBinFolderIsFoundAndOneBesideBinComesFirst)
{
    const std::wstring inBin = Make64BitToolchain(folder / L"IDE\\bin\\mingw\\", seh64Report, {L"lib"});
    EXPECT_EQ(Probe(folder / L"IDE", clionIde), 1);
    EXPECT_EQ(Row(clionIde).rootDir, inBin);
    const std::wstring beside = Make64BitToolchain(folder / L"IDE\\MinGW64\\", seh64Report, {L"lib"});
    EXPECT_EQ(Probe(folder / L"IDE", clionIde), 1);
    EXPECT_EQ(Row(clionIde).rootDir, beside);
}

TEST_F(MingwProbe, ChosenTripletFolderIsFoundByWalkingUp)
{
    const std::wstring base = Make64BitToolchain(folder / L"mingw64\\", seh64Report, {L"lib", L"bin"});
    EXPECT_EQ(Probe(base, otherMingwIde), 1);
    EXPECT_EQ(Row(otherMingwIde).rootDir, base);
}

TEST_F(MingwProbe, UcrtToolchainIsRefused)
{
    Make64BitToolchain(folder / L"mingw64-ucrt\\", ucrtReport, {L"lib"});
    MakeFiles(folder / L"mingw64-ucrt\\", {L"bin\\libgcc_s_seh-1.dll"});
    EXPECT_EQ(Probe(folder.Path(), otherMingwIde), -1);
    EXPECT_EQ(entry.statusText, L"（不支持的 mignw64_xxx_ucrt 版本）");
    EXPECT_FALSE(entry.detected);
}

TEST_F(MingwProbe, UnknownExceptionModelIsRefusedWithItsSpelling)
{
    InstallStandInGccWithReport(folder / L"mingw32\\bin\\",
                                "Target: i686-w64-mingw32\nThread model: posix\n");
    MakeFolders(folder / L"mingw32\\i686-w64-mingw32\\", {L"include", L"lib"});
    EXPECT_EQ(Probe(folder / L"mingw32", otherMingwIde), -1);
    EXPECT_EQ(entry.statusText, L"不支持的 i686_posixunkonw-ex_msvcrt");
}

TEST_F(MingwProbe, Sjlj64BitNeedsBothLibraryFolders)
{
    Make64BitToolchain(folder / L"one\\mingw64\\", sjlj64Report, {L"lib"});
    EXPECT_EQ(Probe(folder / L"one\\mingw32", otherMingwIde), -1);
    EXPECT_EQ(entry.statusText, L"不支持的 x86_64_posix_sjlj_msvcrt");

    table.CreateRows();
    Make64BitToolchain(folder / L"both\\mingw64\\", sjlj64Report, {L"lib", L"lib32"});
    EXPECT_EQ(Probe(folder / L"both", otherMingwIde), 1);
}

TEST_F(MingwProbe, GccThatCannotStartLeavesTheRuntimeDllToDecide)
{
    MakeFolders(folder / L"mingw32\\", {L"bin", L"i686-w64-mingw32\\include", L"i686-w64-mingw32\\lib"});
    EXPECT_EQ(Probe(folder / L"mingw32", otherMingwIde), -1);
    EXPECT_EQ(entry.statusText, L"不支持的 i686_mcfunkonw-ex_msvcrt");

    MakeFiles(folder / L"mingw32\\", {L"bin\\libgcc_s_dw2-1.dll"});
    EXPECT_EQ(Probe(folder / L"mingw32", otherMingwIde), 1);
}

TEST_F(MingwProbe, HangingGccIsEndedAndItsReportStillCounts)
{
    table.commandTimeoutMs = 3000;
    Make64BitToolchain(folder / L"mingw64\\", seh64Report, {L"lib"});
    WriteTextFile(folder / L"mingw64\\bin\\gcc-hang", "");
    // No runtime DLL: only the report names seh.
    EXPECT_EQ(Probe(folder.Path(), otherMingwIde), 1);
}

TEST_F(MingwProbe, ToolchainUnderProgramFilesX86Runs)
{
    ScratchFolder programFiles{L"Program Files (x86)"};
    Make64BitToolchain(programFiles / L"Dev-Cpp\\MinGW64\\", seh64Report, {L"lib"});
    EXPECT_EQ(Probe(programFiles / L"Dev-Cpp", devcppIde), 1);
}

TEST_F(MingwProbe, FolderWithoutToolchainFindsNothing)
{
    MakeFolders(folder / L"empty\\bin");
    EXPECT_EQ(Probe(folder / L"empty\\bin", otherMingwIde), 0);
    EXPECT_EQ(entry.infoLine1, L"");
}

TEST_F(MingwProbe, ToolchainFolderNamedLikeAVariableRunsItsOwnGcc)
{
    // No runtime DLL: only the report of this very gcc names seh.
    Make64BitToolchain(folder / L"q%WINDIR%x\\mingw64\\", seh64Report, {L"lib"});
    EXPECT_EQ(Probe(folder / L"q%WINDIR%x", otherMingwIde), 1);
}

TEST_F(MingwProbe, CodeBlocksWith32BitToolchainGetsItsLibFolder)
{
    const std::wstring base =
        MakeI686Toolchain(folder / L"CodeBlocks\\MinGW\\", L"libgcc_s_dw2-1.dll", {L"lib"});
    EXPECT_EQ(Probe(folder / L"CodeBlocks", codeBlocksIde), 1);
    EXPECT_EQ(Row(codeBlocksIde).libSubdir32, L"lib\\");
    EXPECT_EQ(Row(codeBlocksIde).libSubdir64, L"");
    EXPECT_EQ(entry.infoLine2, L"库文件路径 " + base + L"lib\\");
}

TEST_F(MingwProbe, SecondChoiceStartsFromTheRowsInitialState)
{
    // First choice: both library folders but no include folder, refused for its runtime.
    InstallStandInGcc(folder / L"first\\mingw64\\bin\\", ucrtReport);
    MakeFolders(folder / L"first\\mingw64\\x86_64-w64-mingw32\\", {L"lib", L"lib32"});
    EXPECT_EQ(Probe(folder / L"first", otherMingwIde), -1);
    EXPECT_EQ(Row(otherMingwIde).includeSubdir, L"");
    EXPECT_TRUE(Row(otherMingwIde).hasBothLibDirs);

    // Second choice: one library folder and sjlj, which a 64-bit tool chain supports only with both.
    const std::wstring base = Make64BitToolchain(folder / L"second\\mingw64\\", sjlj64Report, {L"lib"});
    EXPECT_EQ(Probe(folder / L"second", otherMingwIde), -1);
    EXPECT_EQ(entry.statusText, L"不支持的 x86_64_posix_sjlj_msvcrt");
    EXPECT_FALSE(Row(otherMingwIde).hasBothLibDirs);
    EXPECT_EQ(Row(otherMingwIde).includeSubdir, L"include\\");
    EXPECT_EQ(Row(otherMingwIde).libSubdir32, L"");
    EXPECT_EQ(entry.infoLine1, L"头文件路径 " + base + L"include\\");
}

TEST_F(MingwProbe, RootHoldingBothTripletFoldersAndMingw32Is64Bit)
{
    const std::wstring base = Make64BitToolchain(folder / L"mingw64\\", sjlj64Report, {L"lib"});
    MakeFolders(folder / L"mingw64\\",
                {L"i686-w64-mingw32\\include", L"i686-w64-mingw32\\lib", L"mingw32\\lib"});
    EXPECT_EQ(Probe(folder.Path(), otherMingwIde), -1);
    EXPECT_EQ(entry.statusText, L"不支持的 x86_64_posix_sjlj_msvcrt");
    EXPECT_EQ(Row(otherMingwIde).rootDir, base);
    EXPECT_EQ(entry.infoLine2, L"库文件路径 " + base + L"lib\\");
}

TEST_F(MingwProbe, Seh32BitToolchainNeedsBothLibraryFolders)
{
    MakeI686Toolchain(folder / L"one\\mingw32\\", L"libgcc_s_seh-1.dll", {L"lib"});
    EXPECT_EQ(Probe(folder / L"one\\mingw32", otherMingwIde), -1);
    EXPECT_EQ(entry.statusText, L"不支持的 i686_posix_seh_msvcrt");

    MakeI686Toolchain(folder / L"both\\mingw32\\", L"libgcc_s_seh-1.dll", {L"lib", L"lib64"});
    EXPECT_EQ(Probe(folder / L"both\\mingw32", otherMingwIde), 1);
    EXPECT_TRUE(Row(otherMingwIde).hasBothLibDirs);
}

TEST_F(MingwProbe, Seh64BitWithMcfThreadsIsAccepted)
{
    Make64BitToolchain(folder / L"mingw64\\", mcfReport, {L"lib"});
    MakeFiles(folder / L"mingw64\\", {L"bin\\libgcc_s_seh-1.dll"});
    EXPECT_EQ(DetectThreadModel(Utf8ToWide(GccReport(mcfReport))), L"_mcf");
    EXPECT_EQ(Probe(folder.Path(), otherMingwIde), 1);
}

TEST_F(MingwProbe, DevCpp54OnAToolchainThatIsNotPlainMingw32LeavesTheVariantOff)
{
    CopyProgram(L"versioned-5.4.exe", folder / L"Dev-Cpp\\devcpp.exe");
    Make64BitToolchain(folder / L"Dev-Cpp\\MinGW64\\", seh64Report, {L"lib"});
    EXPECT_EQ(Probe(folder / L"Dev-Cpp", devcppIde), 1);
    EXPECT_FALSE(Row(devcppIde).devcpp54Libs);
}

TEST_F(MingwProbe, ChosenDevicePathFolderFindsNothingAsTheInstallWouldRefuseIt)
{
    // "\\?\" paths are refused by the install's walk; discovery sees nothing there, and runs no gcc.
    Make64BitToolchain(folder / L"mingw64\\", seh64Report, {L"lib"});
    MakeFiles(folder / L"mingw64\\", {L"bin\\libgcc_s_seh-1.dll"});
    EXPECT_EQ(Probe(L"\\\\?\\" + folder / L"mingw64", otherMingwIde), 0);
    EXPECT_EQ(Row(otherMingwIde).rootDir, L"");
    EXPECT_EQ(entry.infoLine1, L"");
}

TEST_F(MingwProbe, TripletFolderThatIsAPlantedLinkIsNotThere)
{
    // The tool chain's own folders are plain; its target folder is a link into another tree, in a folder
    // that ordinary users may change.
    ScratchFolder elsewhere{L"planted triplet"};
    MakeFolders(elsewhere / L"x86_64-w64-mingw32\\", {L"include", L"lib", L"lib32"});
    InstallStandInGcc(folder / L"mingw64\\bin\\", seh64Report);
    PlantedLink link(folder / L"mingw64\\x86_64-w64-mingw32", elsewhere / L"x86_64-w64-mingw32",
                     LinkKind::junction);
    ASSERT_TRUE(link.Made());
    EXPECT_EQ(Probe(folder / L"mingw64", otherMingwIde), 0);
    EXPECT_EQ(Row(otherMingwIde).rootDir, L"");
    EXPECT_EQ(entry.infoLine1, L"");
}

TEST_F(MingwProbe, DriveRootHoldingNoToolchainFindsNothing)
{
    const std::wstring root = RootPath(folder.Path());
    ASSERT_EQ(FindSubdirMatching(root, IsMingwFolderName), L"")
        << "the test wants a root without a tool chain";
    EXPECT_EQ(Probe(root, otherMingwIde), 0);
}

// The report classifiers, on reports of every size and shape.
struct ReportCase
{
    const wchar_t* report;
    const wchar_t* exceptionModel; // from the report alone, no runtime DLL
    const wchar_t* threadModel;
    const wchar_t* crt;
};

class RealReport : public ::testing::TestWithParam<ReportCase>
{
protected:
    ScratchFolder emptyBin{L"empty bin"};
};

TEST_P(RealReport, IsClassifiedAsItsToolchain)
{
    const std::wstring report = Utf8ToWide(GccReport(GetParam().report));
    EXPECT_EQ(DetectExceptionModel(emptyBin.Path(), report), GetParam().exceptionModel);
    EXPECT_EQ(DetectThreadModel(report), GetParam().threadModel);
    EXPECT_EQ(DetectCrt(report), GetParam().crt);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, RealReport,
    ::testing::Values(
        ReportCase{L"codeblocks16.01-tdm-mingw32-posix-sjlj-gcc4.9.2.txt", L"_sjlj", L"_posix", L"_msvcrt"},
        // "--disable-sjlj-exceptions" names sjlj, which the report search takes before dwarf.
        ReportCase{L"i686-posix-dwarf-msvcrt-gcc5.3.0-consolewrapped.txt", L"_sjlj", L"_posix", L"_msvcrt"},
        ReportCase{L"mingw32-win32-dwarf-mingw.org-gcc6.3.0.txt", L"_sjlj", L"_posix", L"_msvcrt"},
        ReportCase{L"mingw32-win32-sjlj-mingw-vista-special-gcc3.4.5-consolewrapped.txt", L"_sjlj", L"_posix",
                   L"_msvcrt"},
        ReportCase{L"mingwbuilds-x86_64-mcf-seh-gcc15.1.0-ELIDED.txt", L"_seh", L"_mcf", L"_msvcrt"},
        ReportCase{L"msys2-ucrt64-x86_64-posix-seh-ucrt-gcc15.2.0.txt", L"unkonw-ex", L"_posix", L"_ucrt"},
        ReportCase{L"tdm64-x86_64-posix-seh-gcc5.1.0.txt", L"unkonw-ex", L"_posix", L"_msvcrt"},
        ReportCase{L"x86_64-posix-seh-msvcrt-gcc8.1.0.txt", L"_seh", L"_posix", L"_msvcrt"},
        ReportCase{L"x86_64-posix-sjlj-msvcrt-gcc8.1.0.txt", L"_sjlj", L"_posix", L"_msvcrt"}),
    [](const ::testing::TestParamInfo<ReportCase>& info) { return "Report" + std::to_string(info.index); });

TEST(ReportClassifiers, ThreadModelAfterTwentyThousandBlanks)
{
    const std::wstring blanks(20000, L' ');
    EXPECT_EQ(DetectThreadModel(L"Thread model:" + blanks + L"posix\n"), L"_posix");
    EXPECT_EQ(DetectThreadModel(L"Thread model:" + blanks + L"\n"), L"_mcf");
    EXPECT_EQ(DetectThreadModel(L"thread MODEL:\n\t \r\n" + blanks + L"WIN32"), L"_posix");
}

TEST(ReportClassifiers, LongLinesAndAOneMebibyteReport)
{
    const std::wstring longLine(1024 * 1024, L'x');
    EXPECT_EQ(DetectThreadModel(longLine + L"\nThread model: win32\n"), L"_posix");
    EXPECT_EQ(DetectThreadModel(longLine), L"_mcf");
    EXPECT_EQ(DetectCrt(longLine + L"UCRT"), L"_ucrt");
    EXPECT_EQ(DetectCrt(longLine), L"_msvcrt");
    ScratchFolder emptyBin{L"empty bin"};
    EXPECT_EQ(DetectExceptionModel(emptyBin.Path(), longLine), L"unkonw-ex");
    EXPECT_EQ(DetectExceptionModel(emptyBin.Path(), longLine + L"DWARF"), L"_dwarf");
    std::wstring manyLabels;
    for (int i = 0; i < 50000; ++i)
        manyLabels += L"Thread model:   \n";
    EXPECT_EQ(DetectThreadModel(manyLabels), L"_mcf");
}

TEST(RuntimeDlls, TheFirstRuleTakesPrecedenceWhateverTheListingOrder)
{
    // The folder is listed once for all three rules: seh before sjlj before dwarf, although "libgcc_s_dw2"
    // is listed before the others; names only like a runtime DLL decide nothing; the report is asked only
    // when no runtime DLL is there.
    const std::wstring sjljReport = L"--enable-sjlj-exceptions";
    ScratchFolder bin{L"runtime dlls"};
    MakeFiles(bin.Path(), {L"libgcc_s_dw2-1.dll", L"libgcc_s_seh.dll", L"libgcc_s_seh-1.dll.bak"});
    EXPECT_EQ(DetectExceptionModel(bin.Path(), sjljReport), L"_dwarf");
    MakeFiles(bin.Path(), {L"LIBGCC_S_SJLJ-1.DLL"});
    EXPECT_EQ(DetectExceptionModel(bin.Path(), sjljReport), L"_sjlj");
    MakeFiles(bin.Path(), {L"libgcc_s_seh_64-1.dll"});
    EXPECT_EQ(DetectExceptionModel(bin.Path(), sjljReport), L"_seh");
    ScratchFolder onlyLookalikes{L"lookalike dlls"};
    MakeFiles(onlyLookalikes.Path(), {L"libgcc_s_seh.dll", L"libgcc_s_dw2-1.dll.bak"});
    EXPECT_EQ(DetectExceptionModel(onlyLookalikes.Path(), sjljReport), L"_sjlj");
}

TEST(ReportClassifiers, ThreadModelLineFollowsThePatternsRules)
{
    // One character of any kind but a line end after "Thread model", then blanks of any kind.
    EXPECT_EQ(DetectThreadModel(L"Thread model=posix"), L"_posix");
    EXPECT_EQ(DetectThreadModel(L"Thread model\tposix"), L"_posix");
    EXPECT_EQ(DetectThreadModel(L"Thread model\nposix"), L"_mcf");
    EXPECT_EQ(DetectThreadModel(L"Thread modelposix"), L"_mcf");
    EXPECT_EQ(DetectThreadModel(L"Thread model: single"), L"_mcf");
    EXPECT_EQ(DetectThreadModel(L"Thread model: posi"), L"_mcf");
}

TEST(FolderNames, PatternsHoldForNamesOfEveryLength)
{
    const std::wstring filler(250, L'a');
    EXPECT_TRUE(IsMingwFolderName(filler + L"MinGW"));
    EXPECT_TRUE(IsMingwFolderName(L"mingw" + filler));
    EXPECT_FALSE(IsMingwFolderName(filler + L"ming"));
    EXPECT_TRUE(IsDevcppExecutableName(L"devCPP" + filler.substr(0, 245) + L".EXE"));
    EXPECT_TRUE(IsDevcppExecutableName(L"devcpp.exe"));
    EXPECT_FALSE(IsDevcppExecutableName(L"devcp.exe"));
    EXPECT_FALSE(IsDevcppExecutableName(L"devcpp.exe.txt"));
    EXPECT_FALSE(IsDevcppExecutableName(L"devcpp"));
}

TEST_F(MingwProbe, ComAndBatchFilesBesideGccAreNeverRun)
{
    // A command interpreter would take gcc.com, then gcc.bat, before gcc.exe: either would refuse the tool
    // chain (no report at all, or one naming ucrt), where the real gcc's report accepts it.
    Make64BitToolchain(folder / L"mingw64\\", seh64Report, {L"lib"});
    const std::wstring binDir = folder / L"mingw64\\bin\\";
    CopyProgram(L"unversioned.exe", binDir + L"gcc.com");
    for (const wchar_t* script : {L"gcc.bat", L"gcc.cmd", L"gcc"})
        WriteTextFile(binDir + script, "@echo Target: x86_64-w64-mingw32 ucrt\r\n");
    EXPECT_EQ(Probe(folder / L"mingw64", otherMingwIde), 1);
    EXPECT_TRUE(entry.statusText.empty());
}

} // namespace
