#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <vector>

namespace TestSupport
{
namespace
{

std::atomic<unsigned> folderCounter{0};

std::wstring WithBackslash(std::wstring path)
{
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path;
}

template <typename Visit> void ForEachEntry(const std::wstring& folder, Visit visit)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do
    {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            visit(name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

void CollectFiles(const std::wstring& root, const std::wstring& relative, std::set<std::wstring>& out)
{
    ForEachEntry(root + relative,
                 [&](const std::wstring& name, bool isFolder)
                 {
                     if (isFolder)
                         CollectFiles(root, relative + name + L"\\", out);
                     else
                         out.insert(relative + name);
                 });
}

} // namespace

ScratchFolder::ScratchFolder(const std::wstring& nameHint)
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = WithBackslash(temp) + nameHint + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(folderCounter++) + L"\\";
    RemoveTree(path_);
    MakeFolders(path_);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path_);
}

void MakeFolders(const std::wstring& path)
{
    const std::wstring full = WithBackslash(path);
    for (size_t pos = full.find(L'\\', 3); pos != std::wstring::npos; pos = full.find(L'\\', pos + 1))
    {
        const std::wstring prefix = full.substr(0, pos);
        if (!CreateDirectoryW(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            ADD_FAILURE() << "cannot create folder, error " << GetLastError();
    }
}

void WriteTextFile(const std::wstring& path, const std::string& contents)
{
    MakeFolders(path.substr(0, path.find_last_of(L'\\') + 1));
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot create file, error " << GetLastError();
    DWORD written = 0;
    const BOOL ok = WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == contents.size()) << "cannot write file";
}

std::string ReadTextFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string contents;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        contents.append(buffer, got);
    CloseHandle(file);
    return contents;
}

bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::set<std::wstring> ListFiles(const std::wstring& folder)
{
    std::set<std::wstring> files;
    CollectFiles(WithBackslash(folder), L"", files);
    return files;
}

void RemoveTree(const std::wstring& folder)
{
    const std::wstring root = WithBackslash(folder);
    ForEachEntry(root,
                 [&](const std::wstring& name, bool isFolder)
                 {
                     const std::wstring path = root + name;
                     if (isFolder)
                     {
                         RemoveTree(path);
                     }
                     else
                     {
                         SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                         DeleteFileW(path.c_str());
                     }
                 });
    SetFileAttributesW(root.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(root.c_str());
}

std::wstring ProgramFolder()
{
    std::vector<wchar_t> buffer(32768);
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::wstring path(buffer.data(), n);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

} // namespace TestSupport
