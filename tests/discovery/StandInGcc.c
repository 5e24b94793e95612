/* A stand-in for a tool chain's gcc: prints the file gcc-report.txt next to it to standard error, as gcc -v
 * does. Marker files next to it change what it does afterwards: gcc-hang keeps it running, gcc-flood makes
 * it print without end, gcc-linger starts a copy of itself that keeps the pipe open while this one exits,
 * gcc-token prints to standard output what its own token says, its parent process, its own file name and
 * its arguments, one "name=value" line each; gcc-sandbox prints what it sees of its sandbox from inside: its
 * restricting SIDs, its job's limits, its desktop, whether it can start a child, its standard input, and
 * what it reads through a handle value (--probe-handle=<hex>) or from a file (--probe-file=<path>). */
#include <windows.h>

#include <sddl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <tlhelp32.h>

static wchar_t ownPath[MAX_PATH];
static wchar_t ownFolder[MAX_PATH];

static int MarkerExists(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    lstrcpyW(path, ownFolder);
    lstrcatW(path, name);
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

static void PrintReport(HANDLE out)
{
    wchar_t path[MAX_PATH];
    lstrcpyW(path, ownFolder);
    lstrcatW(path, L"gcc-report.txt");
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    char buffer[4096];
    DWORD read = 0;
    DWORD written = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, NULL) && read > 0)
        WriteFile(out, buffer, read, &written, NULL);
    CloseHandle(file);
}

static void PrintLine(HANDLE out, const char* line)
{
    DWORD written = 0;
    WriteFile(out, line, (DWORD)strlen(line), &written, NULL);
}

static void PrintNumber(HANDLE out, const char* name, unsigned long value)
{
    char line[128];
    snprintf(line, sizeof line, "%s=%lu\n", name, value);
    PrintLine(out, line);
}

static void PrintText(HANDLE out, const char* name, const wchar_t* value)
{
    char utf8[4 * MAX_PATH];
    char line[4 * MAX_PATH + 64];
    WideCharToMultiByte(CP_UTF8, 0, value, -1, utf8, sizeof utf8, NULL, NULL);
    snprintf(line, sizeof line, "%s=%s\n", name, utf8);
    PrintLine(out, line);
}

static DWORD ParentProcessId(void)
{
    DWORD parent = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W process;
    process.dwSize = sizeof process;
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    if (Process32FirstW(snapshot, &process))
    {
        do
        {
            if (process.th32ProcessID == GetCurrentProcessId())
                parent = process.th32ParentProcessID;
        } while (Process32NextW(snapshot, &process));
    }
    CloseHandle(snapshot);
    return parent;
}

/* The Administrators group's attributes in the token (0 when the token does not hold it). */
static DWORD AdministratorsAttributes(HANDLE token, PSID administrators)
{
    static BYTE buffer[16384];
    TOKEN_GROUPS* groups = (TOKEN_GROUPS*)buffer;
    DWORD size = 0;
    DWORD i;
    if (!GetTokenInformation(token, TokenGroups, groups, sizeof buffer, &size))
        return 0;
    for (i = 0; i < groups->GroupCount; ++i)
    {
        if (EqualSid(groups->Groups[i].Sid, administrators))
            return groups->Groups[i].Attributes;
    }
    return 0;
}

static void PrintToken(HANDLE out, int argc, char** argv)
{
    HANDLE token = NULL;
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof administrators;
    TOKEN_ELEVATION elevation = {0};
    TOKEN_ELEVATION_TYPE elevationType = TokenElevationTypeDefault;
    static BYTE labelBuffer[256];
    static BYTE privilegeBuffer[4096];
    DWORD size = 0;
    BOOL member = FALSE;
    int i;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return;
    if (GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size))
        PrintNumber(out, "elevated", elevation.TokenIsElevated);
    if (GetTokenInformation(token, TokenElevationType, &elevationType, sizeof elevationType, &size))
        PrintNumber(out, "elevation-type", (unsigned long)elevationType);
    CreateWellKnownSid(WinBuiltinAdministratorsSid, NULL, administrators, &sidSize);
    if (CheckTokenMembership(NULL, administrators, &member))
        PrintNumber(out, "administrators-member", member);
    PrintNumber(out, "administrators-attributes", AdministratorsAttributes(token, administrators));
    if (GetTokenInformation(token, TokenIntegrityLevel, labelBuffer, sizeof labelBuffer, &size))
    {
        PSID label = ((TOKEN_MANDATORY_LABEL*)labelBuffer)->Label.Sid;
        PrintNumber(out, "integrity", *GetSidSubAuthority(label, *GetSidSubAuthorityCount(label) - 1));
    }
    if (GetTokenInformation(token, TokenPrivileges, privilegeBuffer, sizeof privilegeBuffer, &size))
        PrintNumber(out, "privileges", ((TOKEN_PRIVILEGES*)privilegeBuffer)->PrivilegeCount);
    CloseHandle(token);
    {
        HANDLE self = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, GetCurrentProcessId());
        PrintNumber(out, "opens-itself", self != NULL);
        if (self != NULL)
            CloseHandle(self);
    }
    PrintNumber(out, "parent", ParentProcessId());
    PrintText(out, "image", ownPath);
    for (i = 1; i < argc; ++i)
    {
        char line[1024];
        snprintf(line, sizeof line, "arg=%s\n", argv[i]);
        PrintLine(out, line);
    }
}

static void PrintRestrictingSids(HANDLE out)
{
    static BYTE buffer[4096];
    TOKEN_GROUPS* groups = (TOKEN_GROUPS*)buffer;
    HANDLE token = NULL;
    DWORD size = 0;
    DWORD i;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return;
    PrintNumber(out, "restricted", IsTokenRestricted(token));
    if (GetTokenInformation(token, TokenRestrictedSids, groups, sizeof buffer, &size))
    {
        for (i = 0; i < groups->GroupCount; ++i)
        {
            wchar_t* text = NULL;
            if (ConvertSidToStringSidW(groups->Groups[i].Sid, &text))
            {
                PrintText(out, "restricting", text);
                LocalFree(text);
            }
        }
    }
    CloseHandle(token);
}

static void PrintJob(HANDLE out)
{
    BOOL inJob = FALSE;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    JOBOBJECT_BASIC_UI_RESTRICTIONS ui;
    memset(&limits, 0, sizeof limits);
    memset(&ui, 0, sizeof ui);
    if (IsProcessInJob(GetCurrentProcess(), NULL, &inJob))
        PrintNumber(out, "in-job", inJob);
    /* A null handle names the job of the calling process. */
    if (QueryInformationJobObject(NULL, JobObjectExtendedLimitInformation, &limits, sizeof limits, NULL))
    {
        PrintNumber(out, "job-limit-flags", limits.BasicLimitInformation.LimitFlags);
        PrintNumber(out, "job-active-process-limit", limits.BasicLimitInformation.ActiveProcessLimit);
    }
    else
        PrintNumber(out, "job-limits-error", GetLastError());
    if (QueryInformationJobObject(NULL, JobObjectBasicUIRestrictions, &ui, sizeof ui, NULL))
        PrintNumber(out, "job-ui-limits", ui.UIRestrictionsClass);
    else
        PrintNumber(out, "job-ui-limits-error", GetLastError());
}

static void PrintDesktop(HANDLE out)
{
    wchar_t name[256];
    DWORD size = 0;
    if (GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name,
                                  sizeof name - sizeof(wchar_t), &size))
        PrintText(out, "desktop", name);
}

/* 1 when a copy of itself (which exits at once) could be started with these creation flags. */
static int StartsChild(DWORD flags)
{
    wchar_t commandLine[MAX_PATH + 32];
    STARTUPINFOW startup;
    PROCESS_INFORMATION info;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    lstrcpyW(commandLine, L"\"");
    lstrcatW(commandLine, ownPath);
    lstrcatW(commandLine, L"\" --exit");
    if (!CreateProcessW(ownPath, commandLine, NULL, NULL, FALSE, flags, NULL, NULL, &startup, &info))
        return 0;
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 1;
}

/* What a handle value or a file gives to read from its start; "(none)" when nothing. */
static void PrintReadable(HANDLE out, const char* name, HANDLE source)
{
    char text[256];
    DWORD read = 0;
    OVERLAPPED start;
    memset(&start, 0, sizeof start);
    if (source == INVALID_HANDLE_VALUE || !ReadFile(source, text, sizeof text - 1, &read, &start))
        read = 0;
    text[read] = '\0';
    PrintLine(out, name);
    PrintLine(out, "=");
    PrintLine(out, read > 0 ? text : "(none)");
    PrintLine(out, "\n");
}

static void PrintSandbox(HANDLE out, int argc, char** argv)
{
    int i;
    PrintRestrictingSids(out);
    PrintJob(out);
    PrintDesktop(out);
    PrintNumber(out, "starts-child", StartsChild(0));
    PrintNumber(out, "starts-child-breaking-away", StartsChild(CREATE_BREAKAWAY_FROM_JOB));
    PrintNumber(out, "stdin-type", GetFileType(GetStdHandle(STD_INPUT_HANDLE)));
    PrintReadable(out, "stdin", GetStdHandle(STD_INPUT_HANDLE));
    for (i = 1; i < argc; ++i)
    {
        if (strncmp(argv[i], "--probe-handle=", 15) == 0)
            PrintReadable(out, "probe-handle", (HANDLE)(ULONG_PTR)strtoull(argv[i] + 15, NULL, 16));
        if (strncmp(argv[i], "--probe-file=", 13) == 0)
        {
            HANDLE file =
                CreateFileA(argv[i] + 13, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
            PrintReadable(out, "probe-file", file);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }
    }
}

static void StartLingeringCopy(void)
{
    wchar_t commandLine[MAX_PATH + 32];
    lstrcpyW(commandLine, L"\"");
    lstrcatW(commandLine, ownPath);
    lstrcatW(commandLine, L"\" --linger");
    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    if (CreateProcessW(ownPath, commandLine, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &info))
    {
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
}

int main(int argc, char** argv)
{
    if (argc > 1 && strcmp(argv[1], "--linger") == 0)
    {
        Sleep(INFINITE);
        return 0;
    }
    if (argc > 1 && strcmp(argv[1], "--exit") == 0)
        return 0;
    GetModuleFileNameW(NULL, ownPath, MAX_PATH);
    lstrcpyW(ownFolder, ownPath);
    wchar_t* lastBackslash = wcsrchr(ownFolder, L'\\');
    if (lastBackslash != NULL)
        lastBackslash[1] = L'\0';

    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    PrintReport(err);
    if (MarkerExists(L"gcc-token"))
        PrintToken(GetStdHandle(STD_OUTPUT_HANDLE), argc, argv);
    if (MarkerExists(L"gcc-sandbox"))
        PrintSandbox(GetStdHandle(STD_OUTPUT_HANDLE), argc, argv);
    if (MarkerExists(L"gcc-linger"))
        StartLingeringCopy();
    if (MarkerExists(L"gcc-hang"))
        Sleep(INFINITE);
    if (MarkerExists(L"gcc-flood"))
    {
        char line[1024];
        memset(line, 'x', sizeof line);
        DWORD written = 0;
        while (WriteFile(err, line, sizeof line, &written, NULL))
        {
        }
    }
    return 1;
}
