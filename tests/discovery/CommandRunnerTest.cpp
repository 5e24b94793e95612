#include "discovery/CommandRunner.h"

#include "FakeInstallations.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace
{

using namespace TestSupport;
using namespace FakeInstallations;

const wchar_t reportName[] = L"x86_64-posix-seh-msvcrt-gcc8.1.0.txt";

// Short enough for a test, long enough for Wine to start cmd.exe and the stand-in.
constexpr unsigned long shortTimeoutMs = 3000;

class CommandRunner : public ::testing::Test
{
protected:
    std::string RunStandIn(unsigned long timeoutMs = defaultCommandTimeoutMs,
                           size_t outputCap = defaultCommandOutputCap)
    {
        return RunCommand(L"\"" + binDir + L"gcc\" -v", timeoutMs, outputCap);
    }

    ScratchFolder folder{L"Program Files (x86)"};
    std::wstring binDir = folder / L"Dev-Cpp\\MinGW64\\bin\\";
};

TEST_F(CommandRunner, QuotedPathWithBlanksAndParenthesesRunsThatGcc)
{
    InstallStandInGcc(binDir, reportName);
    EXPECT_EQ(RunStandIn(), GccReport(reportName));
}

TEST_F(CommandRunner, CommandRunsInTheSystemFolderNotTheWizardsCurrentOne)
{
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(folder.Path().c_str());
    const std::string output = RunCommand(L"cd");
    SetCurrentDirectoryW(saved);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::string expected;
    for (const wchar_t* c = system; *c != 0; ++c)
        expected += static_cast<char>(*c);
    EXPECT_EQ(output, expected + "\r\n");
}

TEST_F(CommandRunner, HangingGccIsEndedAndWhatItPrintedIsKept)
{
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-hang", "");
    EXPECT_EQ(RunStandIn(shortTimeoutMs), GccReport(reportName));
}

TEST_F(CommandRunner, ChildKeepingThePipeOpenIsEndedWithTheGcc)
{
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-linger", "");
    EXPECT_EQ(RunStandIn(shortTimeoutMs), GccReport(reportName));
}

TEST_F(CommandRunner, EndlessOutputStopsAtTheCap)
{
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-flood", "");
    const std::string output = RunStandIn(defaultCommandTimeoutMs, 64 * 1024);
    EXPECT_EQ(output.size(), 64u * 1024u);
    EXPECT_EQ(output.substr(0, 30), GccReport(reportName).substr(0, 30));
}

} // namespace
