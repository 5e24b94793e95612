#include "discovery/CommandRunner.h"

#include "discovery/RestrictedToken.h"
#include "win32/SystemLibrary.h"
#include "win32/UniqueHandles.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

namespace
{

constexpr DWORD readChunkBytes = 4096;
constexpr DWORD pipeBufferBytes = 64 * 1024;

// A job that ends every process in it when its last handle closes.
UniqueHandle CreateKillOnCloseJob()
{
    UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    if (!job)
        return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
        job.reset();
    return job;
}

struct ChildProcess
{
    UniqueHandle process;
    UniqueHandle thread;
    UniqueHandle job; // empty when the wizard's own job forbids a nested one
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

// A pipe whose read end the wizard can wait on with a time-out: anonymous pipes know no overlapped reads, so
// this is a named pipe of one instance, made first (no other process can have made it before) and accepting
// no remote client; its write end is inheritable.
bool CreateOutputPipe(UniqueFile& readEnd, UniqueFile& writeEnd)
{
    static LONG pipeCount = 0;
    wchar_t name[96];
    swprintf(name, 96, L"\\\\.\\pipe\\GravoSetup.%lu.%ld.%llu", GetCurrentProcessId(),
             InterlockedIncrement(&pipeCount), GetTickCount64());
    readEnd.reset(
        CreateNamedPipeW(name, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                         PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
                         pipeBufferBytes, 0, nullptr));
    if (!readEnd)
        return false;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    writeEnd.reset(CreateFileW(name, GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, &inheritable, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
                               nullptr));
    return writeEnd.valid();
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

CommandResult RunCommand(const std::wstring& program, const std::vector<std::wstring>& arguments,
                         unsigned long timeoutMs, size_t outputCap)
{
    CommandResult result;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    // Without the restricted token the program is not run at all: it may have been planted by anyone.
    UniqueHandle token = CreateRestrictedChildToken();
    // The child starts in the system folder, not in the wizard's current one (often the download folder it
    // was started from), whose DLLs a program's ordinary search would otherwise find.
    const std::wstring systemFolder = SystemFolderPath(L"");
    UniqueFile readEnd;
    UniqueFile writeEnd;
    if (!token || systemFolder.empty() || !CreateOutputPipe(readEnd, writeEnd))
        return result;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    std::wstring commandLine = CommandLine(program, arguments);
    PROCESS_INFORMATION info{};
    if (!CreateProcessAsUserW(token.get(), program.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                              CREATE_SUSPENDED, nullptr, systemFolder.c_str(), &startup, &info))
        return result;
    result.started = true;
    ChildProcess child{UniqueHandle(info.hProcess), UniqueHandle(info.hThread), CreateKillOnCloseJob()};
    if (child.job && !AssignProcessToJobObject(child.job.get(), child.process.get()))
        child.job.reset();
    ResumeThread(child.thread.get());
    writeEnd.reset();

    result.timedOut = CollectOutput(readEnd.get(), deadline, outputCap, result.output);
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
