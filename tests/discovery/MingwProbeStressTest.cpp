// Tool chains that misbehave in the probe: a gcc that ends at once without a word, one that prints without
// end, and a bin\ folder crowded with files around the runtime DLL the probe looks for.
#include "discovery/EnvironmentTable.h"

#include "FakeInstallations.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using namespace TestSupport;
using namespace FakeInstallations;

class MingwProbeStress : public ::testing::Test
{
protected:
    MingwProbeStress() { table.CreateRows(); }

    int Probe(const std::wstring& directory)
    {
        entry.rowIndex = otherMingwIde;
        entry.isMingw = true;
        return table.ProbeMingwEnvironment(directory, otherMingwIde, &entry, false);
    }
    // <root>bin\gcc.exe printing the report and <root>x86_64-w64-mingw32\ with include\ and lib\.
    void Make64BitToolchain(const std::wstring& root, const std::wstring& report)
    {
        InstallStandInGcc(root + L"bin\\", report);
        MakeFolders(root + L"x86_64-w64-mingw32\\", {L"include", L"lib"});
    }

    ScratchFolder folder{L"toolchain probe stress"};
    EnvironmentTable table;
    EnvListEntry entry;
};

TEST_F(MingwProbeStress, SilentGccLeavesTheRuntimeDllToDecide)
{
    InstallStandInGcc(folder / L"mingw32\\bin\\", L"");
    MakeFolders(folder / L"mingw32\\", {L"i686-w64-mingw32\\include", L"i686-w64-mingw32\\lib"});
    EXPECT_EQ(Probe(folder / L"mingw32"), -1);
    EXPECT_EQ(entry.statusText, L"不支持的 i686_mcfunkonw-ex_msvcrt");

    MakeFiles(folder / L"mingw32\\", {L"bin\\libgcc_s_dw2-1.dll"});
    EXPECT_EQ(Probe(folder / L"mingw32"), 1);
}

TEST_F(MingwProbeStress, GccPrintingWithoutEndIsCutAndItsReportStillCounts)
{
    table.commandTimeoutMs = 5000;
    Make64BitToolchain(folder / L"mingw64\\", L"x86_64-posix-seh-msvcrt-gcc8.1.0.txt");
    WriteTextFile(folder / L"mingw64\\bin\\gcc-flood", "");
    EXPECT_EQ(Probe(folder / L"mingw64"), 1);
}

TEST_F(MingwProbeStress, RuntimeDllAmongHundredsOfFilesIsFound)
{
    InstallStandInGcc(folder / L"mingw32\\bin\\", L"");
    MakeFolders(folder / L"mingw32\\", {L"i686-w64-mingw32\\include", L"i686-w64-mingw32\\lib"});
    for (int i = 0; i < 600; ++i)
    {
        const std::wstring n = std::to_wstring(i);
        WriteTextFile(folder / (L"mingw32\\bin\\tool-" + n + L".exe"), "");
        WriteTextFile(folder / (L"mingw32\\bin\\zlib-" + n + L".dll"), "");
    }
    MakeFiles(folder / L"mingw32\\", {L"bin\\libgcc_s_dw2-1.dll"});
    EXPECT_EQ(Probe(folder / L"mingw32"), 1);
}

TEST_F(MingwProbeStress, ThreadModelLineOfTwentyThousandBlanksIsClassified)
{
    // Matched by a recursive pattern, this line took one stack frame a character and ended the wizard.
    InstallStandInGccWithReport(folder / L"mingw64\\bin\\",
                                "Target: x86_64-w64-mingw32\nThread model:" + std::string(20000, ' ') +
                                    "posix\ngcc version 8.1.0 (x86_64-posix-seh-rev0)\n");
    MakeFolders(folder / L"mingw64\\x86_64-w64-mingw32\\", {L"include", L"lib"});
    EXPECT_EQ(Probe(folder / L"mingw64"), 1);
}

TEST_F(MingwProbeStress, ReportOfOneMebibyteWithoutLineEndsIsClassified)
{
    InstallStandInGccWithReport(folder / L"mingw64\\bin\\",
                                "x86_64-posix-sjlj " + std::string(1024 * 1024, 'x'));
    MakeFolders(folder / L"mingw64\\x86_64-w64-mingw32\\", {L"include", L"lib"});
    EXPECT_EQ(Probe(folder / L"mingw64"), -1);
    EXPECT_EQ(entry.statusText, L"不支持的 x86_64_mcf_sjlj_msvcrt");
}

} // namespace
