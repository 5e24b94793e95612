#include "discovery/CommandRunner.h"

#include "discovery/FolderSearch.h"
#include "win32/UniqueHandles.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace
{

// "创建管道失败" and "创建进程失败: " in code page 936.
constexpr char pipeFailureText[] = "\xb4\xb4\xbd\xa8\xb9\xdc\xb5\xc0\xca\xa7\xb0\xdc";
constexpr char processFailureText[] = "\xb4\xb4\xbd\xa8\xbd\xf8\xb3\xcc\xca\xa7\xb0\xdc\x3a\x20";

constexpr DWORD pollIntervalMs = 10;
constexpr DWORD readChunkBytes = 4096;

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

bool Expired(ULONGLONG deadline)
{
    return GetTickCount64() >= deadline;
}

DWORD RemainingMs(ULONGLONG deadline)
{
    const ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, pollIntervalMs));
}

// Reads the pipe until every writer has closed it, the deadline passes or the cap is reached; in the two last
// cases the child is ended.
std::string CollectOutput(HANDLE readEnd, const ChildProcess& child, ULONGLONG deadline, size_t outputCap)
{
    std::string output;
    std::vector<char> chunk(readChunkBytes);
    for (;;)
    {
        DWORD available = 0;
        if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr))
            return output; // broken: the child and everything it started have let go of the pipe
        if (available == 0)
        {
            if (Expired(deadline))
                break;
            WaitForSingleObject(child.process.get(), RemainingMs(deadline));
            continue;
        }
        const DWORD wanted =
            static_cast<DWORD>(std::min<size_t>({available, chunk.size(), outputCap - output.size()}));
        DWORD read = 0;
        if (!ReadFile(readEnd, chunk.data(), wanted, &read, nullptr) || read == 0)
            return output;
        output.append(chunk.data(), read);
        if (output.size() >= outputCap)
            break;
    }
    EndChild(child);
    return output;
}

} // namespace

std::string RunCommand(const std::wstring& command, unsigned long timeoutMs, size_t outputCap)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    if (!CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0))
        return pipeFailureText;
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;

    // With /S the interpreter strips exactly the outer pair of quotes, so a quoted program path with blanks
    // and parentheses inside the command survives.
    // From the system folder: a bare "cmd.exe" would be searched for in the wizard's own folder first.
    const std::wstring interpreter = SystemFilePath(L"cmd.exe");
    if (interpreter.empty())
        return processFailureText + std::to_string(ERROR_PATH_NOT_FOUND);
    std::wstring commandLine = L"\"" + interpreter + L"\" /S /C \"" + command + L"\"";
    // The child starts in the system folder, not in the wizard's current one (often the download folder
    // it was started from), whose DLLs a program's ordinary search would otherwise find.
    const std::wstring systemFolder = interpreter.substr(0, interpreter.find_last_of(L'\\') + 1);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(interpreter.c_str(), &commandLine[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                        nullptr, systemFolder.c_str(), &startup, &info))
        return processFailureText + std::to_string(GetLastError());
    ChildProcess child{UniqueHandle(info.hProcess), UniqueHandle(info.hThread), CreateKillOnCloseJob()};
    if (child.job && !AssignProcessToJobObject(child.job.get(), child.process.get()))
        child.job.reset();
    ResumeThread(child.thread.get());
    writeEnd.reset();

    std::string output = CollectOutput(readEnd.get(), child, deadline, outputCap);
    if (WaitForSingleObject(child.process.get(),
                            Expired(deadline) ? 0 : static_cast<DWORD>(deadline - GetTickCount64())) !=
        WAIT_OBJECT_0)
        EndChild(child);
    return output;
}
