#include "discovery/CommandRunner.h"
#include "discovery/RestrictedToken.h"

#include "FakeInstallations.h"
#include "support/ScratchFolder.h"
#include "support/Wine.h"
#include "win32/SystemLibrary.h"
#include "win32/TextConversion.h"
#include "win32/UniqueHandles.h"

#include <gtest/gtest.h>
#include <aclapi.h>
#include <sddl.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <set>
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

std::string OwnDesktopName()
{
    wchar_t name[256] = {};
    DWORD size = 0;
    GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name, sizeof name - 2, &size);
    return WideToUtf8(name);
}

std::wstring SidText(const std::vector<unsigned char>& sid)
{
    UniqueLocalMemory text;
    if (sid.empty() || !ConvertSidToStringSidW(const_cast<unsigned char*>(sid.data()),
                                               reinterpret_cast<wchar_t**>(text.put())))
        return L"(none)";
    return static_cast<const wchar_t*>(text.get());
}

class CommandRunner : public ::testing::Test
{
protected:
    CommandResult RunStandIn(unsigned long timeoutMs = defaultCommandTimeoutMs,
                             size_t outputCap = defaultCommandOutputCap)
    {
        return RunCommand(binDir + L"gcc.exe", {L"-v"}, Confinement::deElevated, timeoutMs, outputCap);
    }
    // Gives a folder, and what it holds, the DACL of `sddl` (which Wine accepts and does not keep).
    static void SetDacl(std::wstring path, const std::wstring& sddl)
    {
        UniqueLocalMemory descriptor;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
            sddl.c_str(), SDDL_REVISION_1, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()),
            nullptr));
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL dacl = nullptr;
        ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted));
        ASSERT_EQ(SetNamedSecurityInfoW(&path[0], SE_FILE_OBJECT,
                                        DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, dacl, nullptr),
                  static_cast<DWORD>(ERROR_SUCCESS));
    }
    // The scratch folder lies in the wizard's own profile, which the sandbox's restricting SIDs close: a
    // sandboxed stand-in reads its report and markers only where Users may.
    void LetUsersReadTheScratchFolder()
    {
        SetDacl(folder.Path(), L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + SidText(OwnUserSid()) +
                                   L")(A;OICI;0x1200a9;;;BU)");
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
    const CommandResult result =
        RunCommand(SystemFolderPath(L"cmd.exe"), {L"/c", L"cd"}, Confinement::deElevated);
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
    const CommandResult result = RunCommand(binDir + L"gcc.exe", arguments, Confinement::deElevated);
    const auto report = TokenReport(result.output);
    std::vector<std::string> received;
    for (auto [it, end] = report.equal_range("arg"); it != end; ++it)
        received.push_back(it->second);
    EXPECT_EQ(received, (std::vector<std::string>{"-v", "two words", "a\"quote", "trailing\\",
                                                  "back\\\"slash", "%WINDIR%", "!PATH!", "a&b|c^d", ""}));
}

TEST_F(CommandRunner, ProgramRunsDeElevatedUnderARestrictedToken)
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
}

TEST_F(CommandRunner, ProgramHoldsNoPrivilegeAndRunsAtLowIntegrityUnelevated)
{
    if (RunningUnderWine())
    {
        // Wine 8 keeps the wizard's privileges for DISABLE_MAX_PRIVILEGE, keeps the high integrity level it
        // gives every process and reports every token as elevated.
        GTEST_SKIP() << "On Windows the stand-in gcc reports privileges<=1 (SeChangeNotifyPrivilege only), "
                        "integrity=4096 (low) and elevated=0";
    }
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-token", "");
    const auto token = TokenReport(RunStandIn().output);
    EXPECT_LE(std::stoul(Value(token, "privileges")), 1ul);
    EXPECT_EQ(Value(token, "integrity"), std::to_string(SECURITY_MANDATORY_LOW_RID));
    EXPECT_EQ(Value(token, "elevated"), "0");
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

// The wizard's standard input, swapped for a file for one test.
class StandardInputSwap
{
public:
    explicit StandardInputSwap(HANDLE input) : saved_(GetStdHandle(STD_INPUT_HANDLE))
    {
        SetStdHandle(STD_INPUT_HANDLE, input);
    }
    ~StandardInputSwap() { SetStdHandle(STD_INPUT_HANDLE, saved_); }
    StandardInputSwap(const StandardInputSwap&) = delete;
    StandardInputSwap& operator=(const StandardInputSwap&) = delete;

private:
    HANDLE saved_;
};

// What a gcc sees from inside, run either way: its report still arrives; it inherits nothing of the wizard's
// but its pipe (not even the wizard's standard input: its own is NUL); it sits in a job it cannot break away
// from; the sandboxed one is on a desktop of its own.
TEST_F(CommandRunner, GccSeesOnlyItsPipeNulAndItsJobAndInTheSandboxItsOwnDesktop)
{
    LetUsersReadTheScratchFolder();
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-sandbox", "");
    WriteTextFile(folder / L"input.txt", "the wizard's own handle");
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueFile wizardsFile(CreateFileW((folder / L"input.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       &inheritable, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(wizardsFile);
    StandardInputSwap input(wizardsFile.get());
    wchar_t probe[64];
    swprintf(probe, 64, L"--probe-handle=%llx", reinterpret_cast<unsigned long long>(wizardsFile.get()));
    for (Confinement confinement : {Confinement::deElevated, Confinement::sandboxed})
    {
        const CommandResult result = RunCommand(binDir + L"gcc.exe", {L"-v", probe}, confinement);
        SCOPED_TRACE(result.output);
        ASSERT_TRUE(result.started);
        const auto inside = TokenReport(result.output);
        EXPECT_EQ(result.output.substr(0, GccReport(reportName).size()), GccReport(reportName));
        EXPECT_EQ(Value(inside, "probe-handle"), "(none)");
        EXPECT_EQ(Value(inside, "stdin"), "(none)");
        EXPECT_EQ(Value(inside, "stdin-type"), std::to_string(FILE_TYPE_CHAR));
        EXPECT_EQ(Value(inside, "in-job"), "1");
        EXPECT_EQ(Value(inside, "starts-child-breaking-away"), "0");
        const std::string desktop = Value(inside, "desktop");
        if (confinement == Confinement::deElevated)
            EXPECT_EQ(desktop, OwnDesktopName());
        else
        {
            EXPECT_EQ(desktop.rfind("GravoSetup.", 0), 0u);
            EXPECT_EQ(desktop.size(), std::string("GravoSetup.").size() + 32);
        }
    }
}

TEST_F(CommandRunner, SandboxClosesTheAdministratorsFilesAndAdmitsNoSecondProcess)
{
    if (RunningUnderWine())
    {
        // Wine 8 ignores restricting SIDs (the stand-in reports restricted=0), answers every job query with
        // no limits or not at all, and starts a second process in a job limited to one.
        GTEST_SKIP()
            << "On Windows the sandboxed stand-in gcc reports restricted=1 with the restricting SIDs "
               "S-1-1-0, S-1-5-32-545 and its logon SID; job limits KILL_ON_JOB_CLOSE, "
               "ACTIVE_PROCESS (limit 1) and DIE_ON_UNHANDLED_EXCEPTION without BREAKAWAY_OK; every "
               "UI limit (0xff); starts-child=0; and it cannot read a file only the wizard's user "
               "may read, which the de-elevated gcc reads";
    }
    LetUsersReadTheScratchFolder();
    InstallStandInGcc(binDir, reportName);
    WriteTextFile(binDir + L"gcc-sandbox", "");
    const std::wstring user = SidText(OwnUserSid());
    UniqueLocalMemory ownUserOnly;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        (L"O:" + user + L"D:P(A;;FA;;;" + user + L")").c_str(), SDDL_REVISION_1,
        reinterpret_cast<PSECURITY_DESCRIPTOR*>(ownUserOnly.put()), nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, ownUserOnly.get(), FALSE};
    const std::wstring privateFile = folder / L"private.txt";
    UniqueFile file(CreateFileW(privateFile.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && WriteFile(file.get(), "private", 7, &written, nullptr));
    file.reset();
    const std::wstring probe = L"--probe-file=" + privateFile;

    const auto deElevated =
        TokenReport(RunCommand(binDir + L"gcc.exe", {probe}, Confinement::deElevated).output);
    EXPECT_EQ(Value(deElevated, "probe-file"), "private");
    const CommandResult result = RunCommand(binDir + L"gcc.exe", {probe}, Confinement::sandboxed);
    SCOPED_TRACE(result.output);
    const auto inside = TokenReport(result.output);
    EXPECT_EQ(Value(inside, "probe-file"), "(none)");
    EXPECT_EQ(Value(inside, "restricted"), "1");
    std::multiset<std::string> restricting;
    for (auto [it, end] = inside.equal_range("restricting"); it != end; ++it)
        restricting.insert(it->second);
    EXPECT_EQ(restricting,
              (std::multiset<std::string>{"S-1-1-0", "S-1-5-32-545", WideToUtf8(SidText(OwnLogonSid()))}));
    EXPECT_EQ(std::stoul(Value(inside, "job-limit-flags")),
              static_cast<unsigned long>(JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE |
                                         JOB_OBJECT_LIMIT_ACTIVE_PROCESS |
                                         JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION));
    EXPECT_EQ(Value(inside, "job-active-process-limit"), "1");
    EXPECT_EQ(Value(inside, "job-ui-limits"), "255");
    EXPECT_EQ(Value(inside, "starts-child"), "0");
}

// Which gcc runs how, as the probe asks it. The wizard's own temporary folder holds nothing anyone else could
// have placed (under Wine every file reads back owned by the user, with no one else allowed to change it).
TEST_F(CommandRunner, GccOnlyTheWizardsUserCouldHavePlacedRunsDeElevatedAnyOtherSandboxed)
{
    InstallStandInGcc(binDir, reportName);
    EXPECT_EQ(ConfinementFor(binDir + L"gcc.exe"), Confinement::deElevated);
    for (const std::wstring& other :
         {L"\\\\?\\" + binDir + L"gcc.exe", std::wstring(L"\\\\server\\share\\bin\\gcc.exe"), binDir,
          binDir + L"absent.exe", std::wstring(L"bin\\gcc.exe")})
        EXPECT_EQ(ConfinementFor(other), Confinement::sandboxed) << WideToUtf8(other);
}

TEST_F(CommandRunner, GccInAFolderOrdinaryUsersMayModifyRunsSandboxed)
{
    if (RunningUnderWine())
        GTEST_SKIP() << "Wine keeps no folder DACL. On Windows a gcc whose bin folder grants Authenticated "
                        "Users Modify runs sandboxed";
    InstallStandInGcc(binDir, reportName);
    SetDacl(binDir, L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1301bf;;;AU)");
    EXPECT_EQ(ConfinementFor(binDir + L"gcc.exe"), Confinement::sandboxed);
}

} // namespace
