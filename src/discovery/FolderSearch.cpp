#include "discovery/FolderSearch.h"

#include "install/PathTrust.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace
{

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// One entry of a folder listing.
struct ListedEntry
{
    std::wstring name;
    DWORD attributes = 0;
    DWORD reparseTag = 0;
};

// Whether a listed entry may count for a search: a folder only when the install's walk takes it (a folder
// link is followed only as the link rule says; Wine lists its Unix links as plain folders, so every folder
// is walked to tell), a file only when it is no link.
bool PassesLinkRule(const std::wstring& folder, const ListedEntry& entry)
{
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return IsExistingDirectory(folder + entry.name);
    return (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
           !IsReparseTagNameSurrogate(entry.reparseTag);
}

// The name of the first entry of `folder` (ending with a backslash), "." and ".." left out, that `accept`
// takes and that passes the link rule; empty when the folder is refused by the install's walk, cannot be
// listed, or nothing is taken. The folder is listed through the walk's own handle, never by its path.
template <typename Accept> std::wstring FirstEntryName(const std::wstring& folder, Accept accept)
{
    const TrustedFolder opened = OpenTrustedFolder(folder, FILE_LIST_DIRECTORY);
    if (opened.trust != FolderTrust::trusted)
        return {};
    std::vector<LONGLONG> buffer(8192); // 64 KiB, aligned as the records need
    FILE_INFO_BY_HANDLE_CLASS batch = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(opened.handle.get(), batch, buffer.data(),
                                        static_cast<DWORD>(buffer.size() * sizeof(LONGLONG))))
    {
        batch = FileIdBothDirectoryInfo;
        const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
        for (;;)
        {
            const auto* record = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes);
            ListedEntry entry;
            entry.name.assign(record->FileName, record->FileNameLength / sizeof(wchar_t));
            entry.attributes = record->FileAttributes;
            // For a reparse point the system puts its tag where the extended attributes' size would be.
            entry.reparseTag = record->EaSize;
            if (entry.name != L"." && entry.name != L".." && accept(entry) && PassesLinkRule(folder, entry))
                return entry.name;
            if (record->NextEntryOffset == 0)
                break;
            bytes += record->NextEntryOffset;
        }
    }
    return {};
}

bool IsDirectoryEntry(const ListedEntry& entry)
{
    return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

bool IsExistingDirectory(const std::wstring& path)
{
    return OpenTrustedFolder(path).trust == FolderTrust::trusted;
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
        FirstEntryName(folder, [&](const ListedEntry& entry)
                       { return IsDirectoryEntry(entry) && EqualIgnoringCase(entry.name, name); });
    return found.empty() ? std::wstring() : folder + name + L"\\";
}

std::wstring FindSubdirMatching(const std::wstring& folder, const NameTest& test)
{
    const std::wstring found = FirstEntryName(folder, [&](const ListedEntry& entry)
                                              { return IsDirectoryEntry(entry) && test(entry.name); });
    return found.empty() ? std::wstring() : folder + found + L"\\";
}

std::wstring FindFirstMatch(std::wstring directory, const NameTest& test)
{
    directory = WithTrailingBackslash(std::move(directory));
    const std::wstring found =
        FirstEntryName(directory, [&](const ListedEntry& entry) { return test(entry.name); });
    return found.empty() ? std::wstring() : directory + found;
}
