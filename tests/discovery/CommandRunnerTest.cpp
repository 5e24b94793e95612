#include "discovery/CommandRunner.h"

#include "FakeInstallations.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/Wine.h"
#include "win32/SystemLibrary.h"
#include "win32/TextConversion.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <sstream>

namespace
{

using namespace TestSupport;
using namespace FakeInstallations;

const wchar_t reportName[] = L"x86_64-posix-seh-msvcrt-gcc8.1.0.txt";

// Short enough for a test, long enough for Wine to start the stand-in.
constexpr unsigned long shortTimeoutMs = 3000;

// The "name=value" lines the stand-in prints with its gcc-token marker; "arg" lines in order under "arg".
std::multimap<std::string, std::string> TokenReport(const std::string& output)
{
    std::multimap<std::string, std::string> values;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
    {
        const size_t equals = line.find('=');
        if (equals != std::string::npos && line.find(' ') > equals)
            values.emplace(line.substr(0, equals), line.substr(equals + 1));
    }
    return values;
}

std::string Value(const std::multimap<std::string, std::string>& values, const std::string& name)
{
    const auto found = values.find(name);
    return found == values.end() ? std::string("(missing)") : found->second;
}

// The wizard's (this test's) own token, to compare the child's with.
bool OwnTokenHoldsAdministrators()
{
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    BOOL member = FALSE;
    return CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
           CheckTokenMembership(nullptr, administrators, &member) && member;
}

ULONGLONG ProcessCpuTime100ns()
{
    FILETIME creation, exit, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    const auto value = [](const FILETIME& time)
    { return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime; };
    return value(kernel) + value(user);
}

class CommandRunner : public ::testing::Test
{
protected:
    CommandResult RunStandIn(unsigned long timeoutMs = defaultCommandTimeoutMs,
                             size_t outputCap = defaultCommandOutputCap)
    {
        return RunCommand(binDir + L"gcc.exe", {L"-v"}, timeoutMs, outputCap);
    }

    ScratchFolder folder{L"Program Files (x86)"};
    std::wstring binDir = folder / L"Dev-Cpp\\MinGW64\\bin\\";
};

TEST_F(CommandRunner, QuotedPathWithBlanksAndParenthesesRunsThatGcc)
{
    InstallStandInGcc(binDir, reportName);
    const CommandResult result = RunStandIn();
    EXPECT_TRUE(result.started);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.output, GccReport(reportName));
}

TEST_F(CommandRunner, MissingProgramIsNotStartedAndWritesNothing)
{
    MakeFolders(binDir);
    const CommandResult result = RunStandIn();
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.output, "");
}

TEST_F(CommandRunner, CommandRunsInTheSystemFolderNotTheWizardsCurrentOne)
{
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(folder.Path().c_str());
    const CommandResult result = RunCommand(SystemFolderPath(L"cmd.exe"), {L"/c", L"cd"});
    SetCurrentDirectoryW(saved);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::string expected;
    for (const wchar_t* c = system; *c != 0; ++c)
        expected += static_cast<char>(*c);
    EXPECT_EQ(result.output, expected + "\r\n");
}

TEST_F(CommandRunner, ArgumentsReachTheProgramAsGiven)
{
    InstallStandInGcc(binDir, L"");
    WriteTextFile(binDir + L"gcc-token", "");
    const std::vector<std::wstring> arguments = {L"-v",         L"two words",     L"a\"quote",
                                                 L"trailing\\", L"back\\\"slash", L"%WINDIR%",
                                                 L"!PATH!",     L"a&b|c^d",       L""};
    const CommandResult result = RunCommand(binDir + L"gcc.exe", arguments);
    const auto report = TokenReport(result.output);
    std::vector<std::string> received;
    for (auto [it, end] = report.equal_range("arg"); it != end; ++it)
        received.push_back(it->second);
    EXPECT_EQ(received, (std::vector<std::string>{"-v", "two words", "a\"quote", "trailing\\",
                                                  "back\\\"slash", "%WINDIR%", "!PATH!", "a&b|c^d", ""}));
}

TEST_F(CommandRunner, ProgramRunsDeElevatedUnderARestrictedLowIntegrityToken)
{
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-token", "");
    const CommandResult result = RunStandIn();
    ASSERT_TRUE(result.started);
    const auto token = TokenReport(result.output);
    SCOPED_TRACE(result.output.substr(GccReport(reportName).size()));
    // The child is the program itself, started by the wizard: no command interpreter in between.
    EXPECT_EQ(Value(token, "parent"), std::to_string(GetCurrentProcessId()));
    // Administrators is deny-only, so the child is no member whatever the wizard's own token holds.
    EXPECT_EQ(Value(token, "administrators-member"), "0");
    if (OwnTokenHoldsAdministrators())
    {
        EXPECT_EQ(std::stoul(Value(token, "administrators-attributes")) & SE_GROUP_USE_FOR_DENY_ONLY,
                  static_cast<unsigned long>(SE_GROUP_USE_FOR_DENY_ONLY));
    }
    // Its own objects take the token's default DACL, which grants its user.
    EXPECT_EQ(Value(token, "opens-itself"), "1");
    // Wine 8 passes the restricted token on (the deny-only group above shows it) but keeps the wizard's
    // privileges for DISABLE_MAX_PRIVILEGE, keeps the high integrity level it gives every process and reports
    // every token as elevated: the rest can only be seen on Windows.
    if (RunningUnderWine())
        return;
    // DISABLE_MAX_PRIVILEGE leaves only SeChangeNotifyPrivilege.
    EXPECT_LE(std::stoul(Value(token, "privileges")), 1ul);
    EXPECT_EQ(Value(token, "integrity"), std::to_string(SECURITY_MANDATORY_LOW_RID));
    EXPECT_EQ(Value(token, "elevated"), "0");
}

TEST_F(CommandRunner, ComAndBatchFilesBesideGccAreNeverRun)
{
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-token", "");
    CopyProgram(L"gcc.exe", binDir + L"gcc.com");
    WriteTextFile(binDir + L"gcc.bat", "@echo planted batch file ran\r\n");
    const CommandResult result = RunStandIn();
    EXPECT_EQ(Value(TokenReport(result.output), "image"), WideToUtf8(binDir + L"gcc.exe"));
    EXPECT_EQ(result.output.find("planted"), std::string::npos);
    EXPECT_EQ(result.output.find(".com"), std::string::npos);
}

TEST_F(CommandRunner, CommandInterpreterAutoRunDoesNotRun)
{
    ScratchRegistry registry;
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        SetRegString(hive, L"Software\\Microsoft\\Command Processor", L"AutoRun", L"echo autorun ran");
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-token", "");
    const CommandResult result = RunStandIn();
    EXPECT_EQ(result.output.find("autorun"), std::string::npos);
    // A child process does not see this test's registry redirection, so the value above could not reach an
    // interpreter anyway; what shows that none ran is that the stand-in's parent is the wizard itself.
    EXPECT_EQ(Value(TokenReport(result.output), "parent"), std::to_string(GetCurrentProcessId()));
}

TEST_F(CommandRunner, HangingGccIsEndedAndWhatItPrintedIsKept)
{
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-hang", "");
    const CommandResult result = RunStandIn(shortTimeoutMs);
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.output, GccReport(reportName));
}

TEST_F(CommandRunner, ChildKeepingThePipeOpenIsEndedWithTheGcc)
{
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-linger", "");
    const CommandResult result = RunStandIn(shortTimeoutMs);
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.output, GccReport(reportName));
}

TEST_F(CommandRunner, WaitingForALingeringChildDoesNotSpin)
{
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-linger", "");
    const ULONGLONG cpuBefore = ProcessCpuTime100ns();
    const ULONGLONG wallBefore = GetTickCount64();
    RunStandIn(shortTimeoutMs);
    const ULONGLONG cpuMs = (ProcessCpuTime100ns() - cpuBefore) / 10000;
    const ULONGLONG wallMs = GetTickCount64() - wallBefore;
    // Not a timing: the share of a core the wizard burns while it waits. A spinning wait takes all of it.
    EXPECT_LT(cpuMs * 10, wallMs) << cpuMs << " ms of processor time in " << wallMs << " ms";
}

TEST_F(CommandRunner, EndlessOutputStopsAtTheCap)
{
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-flood", "");
    const CommandResult result = RunStandIn(defaultCommandTimeoutMs, 64 * 1024);
    EXPECT_EQ(result.output.size(), 64u * 1024u);
    EXPECT_EQ(result.output.substr(0, 30), GccReport(reportName).substr(0, 30));
}

} // namespace
