#include "discovery/CommandRunner.h"

#include "discovery/ChildSandbox.h"
#include "discovery/OutputPipe.h"
#include "discovery/RestrictedToken.h"
#include "install/FilePlacement.h"
#include "win32/SystemLibrary.h"
#include "win32/UniqueHandles.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

namespace
{

constexpr DWORD readChunkBytes = 4096;

struct ChildProcess
{
    UniqueHandle process;
    UniqueHandle thread;
    UniqueHandle job; // empty for a de-elevated child when the wizard's own job forbids a nested one
};

void EndChild(const ChildProcess& child)
{
    if (child.job)
        TerminateJobObject(child.job.get(), 1);
    else
        TerminateProcess(child.process.get(), 1);
}

// Milliseconds left before the deadline, from one reading of the clock; never INFINITE.
DWORD RemainingMs(ULONGLONG deadline)
{
    const ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, INFINITE - 1));
}

// One argument as the C runtime's command-line splitting gives it back: as it stands when it holds no blank
// and no quote, else quoted, its quotes escaped and the backslashes before a quote (or before the closing
// quote) doubled.
std::wstring QuotedArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument)
    {
        if (c == L'\\')
        {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

// The program's own name comes first, quoted whole: a file name holds no quote, and the runtime takes the
// first item up to the closing quote without escapes.
std::wstring CommandLine(const std::wstring& program, const std::vector<std::wstring>& arguments)
{
    std::wstring line = L"\"" + program + L"\"";
    for (const std::wstring& argument : arguments)
        line += L" " + QuotedArgument(argument);
    return line;
}

// Everything a child starts with. A part missing means it is not run, except a de-elevated child's job.
struct ChildSetup
{
    bool sandboxed = false;
    UniqueHandle token;
    // The child starts in the system folder, not in the wizard's current one (often the download folder it
    // was started from), whose DLLs a program's ordinary search would otherwise find.
    std::wstring systemFolder;
    OutputPipe pipe;
    UniqueFile input; // NUL: the wizard's own standard input is nothing for a child to read
    UniqueHandle job;
    SandboxDesktop desktop;
};

bool PrepareChild(Confinement confinement, ChildSetup& setup)
{
    setup.sandboxed = confinement == Confinement::sandboxed;
    setup.token = CreateRestrictedChildToken(setup.sandboxed);
    setup.systemFolder = SystemFolderPath(L"");
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    setup.input.reset(CreateFileW(L"\\\\.\\NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inheritable, OPEN_EXISTING, 0, nullptr));
    setup.job = CreateChildJob(setup.sandboxed);
    if (setup.sandboxed)
    {
        setup.desktop = CreateSandboxDesktop();
        if (!setup.job || !setup.desktop.desktop)
            return false;
    }
    return setup.token && !setup.systemFolder.empty() && setup.input && CreateOutputPipe(setup.pipe);
}

// Starts the child suspended, inheriting nothing but its output pipe and NUL, and puts it in its job before
// it runs a single instruction. A sandboxed child that cannot join its job is ended before it runs.
bool StartChild(const std::wstring& program, const std::vector<std::wstring>& arguments, ChildSetup& setup,
                ChildProcess& child)
{
    HANDLE inherited[] = {setup.pipe.writeEnd.get(), setup.input.get()};
    ProcThreadAttributeList attributes(1);
    if (attributes.get() == nullptr ||
        !UpdateProcThreadAttribute(attributes.get(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                   sizeof inherited, nullptr, nullptr))
        return false;
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.hStdInput = setup.input.get();
    startup.StartupInfo.hStdOutput = setup.pipe.writeEnd.get();
    startup.StartupInfo.hStdError = setup.pipe.writeEnd.get();
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    std::wstring desktop = setup.desktop.startupName;
    startup.StartupInfo.lpDesktop = desktop.empty() ? nullptr : &desktop[0];
    startup.lpAttributeList = attributes.get();
    std::wstring commandLine = CommandLine(program, arguments);
    PROCESS_INFORMATION info{};
    if (!CreateProcessAsUserW(setup.token.get(), program.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                              CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                              setup.systemFolder.c_str(), &startup.StartupInfo, &info))
        return false;
    child.process.reset(info.hProcess);
    child.thread.reset(info.hThread);
    child.job = std::move(setup.job);
    if (child.job && !AssignProcessToJobObject(child.job.get(), child.process.get()))
    {
        child.job.reset();
        if (setup.sandboxed)
        {
            TerminateProcess(child.process.get(), 1);
            return false;
        }
    }
    ResumeThread(child.thread.get());
    return true;
}

// Reads the pipe until every writer has closed it, the deadline passes or the cap is reached, waiting for
// each chunk without spinning. True when the deadline ended it.
bool CollectOutput(HANDLE readEnd, ULONGLONG deadline, size_t outputCap, std::string& output)
{
    UniqueHandle readDone(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!readDone)
        return false;
    std::vector<char> chunk(readChunkBytes);
    while (output.size() < outputCap)
    {
        const DWORD remaining = RemainingMs(deadline);
        if (remaining == 0)
            return true;
        OVERLAPPED overlapped{};
        overlapped.hEvent = readDone.get();
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(chunk.size(), outputCap - output.size()));
        if (!ReadFile(readEnd, chunk.data(), wanted, nullptr, &overlapped) &&
            GetLastError() != ERROR_IO_PENDING)
            return false; // broken: the child and everything it started have let go of the pipe
        const bool timedOut = WaitForSingleObject(readDone.get(), remaining) != WAIT_OBJECT_0;
        if (timedOut)
            CancelIoEx(readEnd, &overlapped);
        // After a cancel this waits for the read to end, so the chunk is no longer written to; a read that
        // completed meanwhile still counts.
        DWORD read = 0;
        const bool readOk = GetOverlappedResult(readEnd, &overlapped, &read, TRUE) != FALSE;
        output.append(chunk.data(), read);
        if (timedOut)
            return true;
        if (!readOk)
            return false;
    }
    return false;
}

} // namespace

Confinement ConfinementFor(const std::wstring& program)
{
    const std::vector<unsigned char> user = OwnUserSid();
    return !user.empty() && OnlyTrustedCouldHavePlacedFile(program, user.data()) ? Confinement::deElevated
                                                                                 : Confinement::sandboxed;
}

CommandResult RunCommand(const std::wstring& program, const std::vector<std::wstring>& arguments,
                         Confinement confinement, unsigned long timeoutMs, size_t outputCap)
{
    CommandResult result;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    ChildSetup setup;
    ChildProcess child;
    // Without its token and walls the program is not run at all: it may have been planted by anyone.
    if (!PrepareChild(confinement, setup) || !StartChild(program, arguments, setup, child))
        return result;
    result.started = true;
    setup.pipe.writeEnd.reset();

    result.timedOut = CollectOutput(setup.pipe.readEnd.get(), deadline, outputCap, result.output);
    if (result.timedOut || result.output.size() >= outputCap)
        EndChild(child);
    else if (WaitForSingleObject(child.process.get(), RemainingMs(deadline)) != WAIT_OBJECT_0)
    {
        // It let go of its output but kept running until the deadline.
        result.timedOut = true;
        EndChild(child);
    }
    return result;
}
