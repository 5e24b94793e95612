#include "discovery/FolderSearch.h"

#include "win32/UniqueHandles.h"

#include <windows.h>

#include <algorithm>

namespace
{

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// The name of the first entry of `folder` (ending with a backslash), "." and ".." left out, that `accept`
// takes; empty when the folder cannot be listed or nothing is taken.
template <typename Accept> std::wstring FirstEntryName(const std::wstring& folder, Accept accept)
{
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(FindFirstFileW((folder + L"*").c_str(), &data));
    if (!find)
        return {};
    do
    {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L".." && accept(data, name))
            return name;
    } while (FindNextFileW(find.get(), &data));
    return {};
}

bool IsDirectoryEntry(const WIN32_FIND_DATAW& data)
{
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsExistingDirectory(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring WithTrailingBackslash(std::wstring path)
{
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    return path;
}

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

bool IsNetworkOrDevicePath(const std::wstring& path)
{
    // Two leading separators start a UNC or device path; "\??\" names the object manager's device folder.
    return (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) ||
           path.compare(0, 4, L"\\??\\") == 0;
}

std::wstring RootPath(const std::wstring& path)
{
    if (path.size() >= 2 && path[1] == L':')
        return path.substr(0, path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2);
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
    {
        // \\server\share\ : the root ends after the separator that follows the share name.
        size_t end = path.find_first_of(L"\\/", 2);
        if (end != std::wstring::npos)
            end = path.find_first_of(L"\\/", end + 1);
        return end == std::wstring::npos ? path : path.substr(0, end + 1);
    }
    return {};
}

std::wstring ParentOrSelf(const std::wstring& path)
{
    const std::wstring root = RootPath(path);
    if (path.empty() || EqualIgnoringCase(path, root))
        return path;
    size_t end = path.size();
    while (end > root.size() && !IsSeparator(path[end - 1]))
        --end;
    while (end > root.size() && IsSeparator(path[end - 1]))
        --end;
    const std::wstring parent = path.substr(0, std::max(end, root.size()));
    return parent.empty() ? root : parent;
}

std::wstring NextFolderUp(const std::wstring& path)
{
    const std::wstring parent = ParentOrSelf(path);
    return EqualIgnoringCase(parent, RootPath(path)) ? std::wstring() : parent;
}

std::wstring FindSubdirNamed(const std::wstring& folder, const std::wstring& name)
{
    const std::wstring found =
        FirstEntryName(folder, [&](const WIN32_FIND_DATAW& data, const std::wstring& entry)
                       { return IsDirectoryEntry(data) && EqualIgnoringCase(entry, name); });
    return found.empty() ? std::wstring() : folder + name + L"\\";
}

std::wstring FindSubdirMatching(const std::wstring& folder, const NameTest& test)
{
    const std::wstring found =
        FirstEntryName(folder, [&](const WIN32_FIND_DATAW& data, const std::wstring& entry)
                       { return IsDirectoryEntry(data) && test(entry); });
    return found.empty() ? std::wstring() : folder + found + L"\\";
}

std::wstring FindFirstMatch(std::wstring directory, const NameTest& test)
{
    directory = WithTrailingBackslash(std::move(directory));
    const std::wstring found = FirstEntryName(
        directory, [&](const WIN32_FIND_DATAW&, const std::wstring& entry) { return test(entry); });
    return found.empty() ? std::wstring() : directory + found;
}
