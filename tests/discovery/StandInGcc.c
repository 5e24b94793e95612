/* A stand-in for a tool chain's gcc: prints the file gcc-report.txt next to it to standard error, as gcc -v
 * does. Marker files next to it change what it does afterwards: gcc-hang keeps it running, gcc-flood makes
 * it print without end, gcc-linger starts a copy of itself that keeps the pipe open while this one exits. */
#include <windows.h>

#include <string.h>

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
    GetModuleFileNameW(NULL, ownPath, MAX_PATH);
    lstrcpyW(ownFolder, ownPath);
    wchar_t* lastBackslash = wcsrchr(ownFolder, L'\\');
    if (lastBackslash != NULL)
        lastBackslash[1] = L'\0';

    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    PrintReport(err);
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
