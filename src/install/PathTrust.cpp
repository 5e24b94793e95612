#include "install/PathTrust.h"

#include "win32/UniqueHandles.h"

#include <aclapi.h>
#include <sddl.h>
#include <winioctl.h>

#include <cstring>
#include <vector>

namespace
{

// Links are followed at most this deep (Windows itself stops at 63).
constexpr int maxLinkHops = 31;

// The rights that let a holder add, delete or rename a folder's entries, or give itself those rights.
constexpr ACCESS_MASK changeRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD | DELETE |
                                     WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED;

// The fixed part of a reparse point's data for symbolic links and mount points (junctions).
struct ReparseNames
{
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
};
constexpr DWORD symlinkRelativeFlag = 1;

bool IsTrustedAccount(PSID sid, PSID alsoTrusted = nullptr)
{
    if (alsoTrusted != nullptr && EqualSid(sid, alsoTrusted))
        return true;
    static const wchar_t* const trustedAccounts[] = {
        L"S-1-5-32-544",                                                   // Administrators
        L"S-1-5-18",                                                       // SYSTEM
        L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", // TrustedInstaller
    };
    for (const wchar_t* account : trustedAccounts)
    {
        UniqueLocalMemory trusted;
        if (ConvertStringSidToSidW(account, reinterpret_cast<PSID*>(trusted.put())) &&
            EqualSid(sid, trusted.get()))
            return true;
    }
    return false;
}

std::wstring WithoutTrailingBackslash(std::wstring path)
{
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

std::wstring ParentOf(const std::wstring& path)
{
    const size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

// The absolute form of a local drive path ("C:\x\y", "." and ".." folded, "/" turned into "\"), or empty for
// anything else: a remote or device path ("\\server\share", "\\?\...", "\\.\...") or a drive that is remote.
std::wstring LocalFullPath(const std::wstring& path)
{
    // Only absolute drive paths: a relative one would depend on the current folder.
    if (path.size() < 3 || !iswalpha(path[0]) || path[1] != L':' || (path[2] != L'\\' && path[2] != L'/'))
        return {};
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return {};
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return {};
    full.resize(length);
    const bool drivePath = full.size() >= 3 && iswalpha(full[0]) && full[1] == L':' && full[2] == L'\\';
    if (!drivePath)
        return {};
    const UINT type = GetDriveTypeW(full.substr(0, 3).c_str());
    if (type == DRIVE_REMOTE || type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN)
        return {};
    return WithoutTrailingBackslash(full);
}

UniqueFile OpenWithoutFollowing(const std::wstring& path)
{
    return UniqueFile(
        CreateFileW(ExtendedPath(path).c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// The owner and DACL of an open entry; empty when they cannot be read.
UniqueLocalMemory SecurityOf(HANDLE entry)
{
    UniqueLocalMemory descriptor;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    if (GetSecurityInfo(entry, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                        nullptr, &dacl, nullptr,
                        reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put())) != ERROR_SUCCESS)
        descriptor.reset();
    return descriptor;
}

bool FolderAdmitsChangesOnlyByAdministrators(HANDLE folder)
{
    const UniqueLocalMemory descriptor = SecurityOf(folder);
    return descriptor && AdmitsChangesOnlyByAdministrators(descriptor.get());
}

// Where a link leads, read from its reparse data.
struct LinkTarget
{
    bool readable = false;
    bool volumeRoot = false; // a mount point names a volume ("\??\Volume{...}\"), not a path
    std::wstring path;
};

LinkTarget ReadLinkTarget(HANDLE link, const std::wstring& linkFolder)
{
    std::vector<unsigned char> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD size = 0;
    if (!DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                         static_cast<DWORD>(buffer.size()), &size, nullptr) ||
        size < sizeof(ReparseNames))
        return {};
    ReparseNames names;
    std::memcpy(&names, buffer.data(), sizeof names);
    size_t namesStart = sizeof names;
    DWORD flags = 0;
    if (names.tag == IO_REPARSE_TAG_SYMLINK)
    {
        if (size < namesStart + sizeof flags)
            return {};
        std::memcpy(&flags, buffer.data() + namesStart, sizeof flags);
        namesStart += sizeof flags;
    }
    else if (names.tag != IO_REPARSE_TAG_MOUNT_POINT)
        return {};
    const size_t begin = namesStart + names.substituteOffset;
    if (begin + names.substituteLength > size || names.substituteLength % sizeof(wchar_t) != 0)
        return {};
    std::wstring substitute(names.substituteLength / sizeof(wchar_t), L'\0');
    std::memcpy(&substitute[0], buffer.data() + begin, names.substituteLength);

    LinkTarget target;
    if (flags & symlinkRelativeFlag)
    {
        target.path = linkFolder + L"\\" + substitute;
        target.readable = true;
        return target;
    }
    const std::wstring ntPrefix = L"\\??\\";
    if (substitute.compare(0, ntPrefix.size(), ntPrefix) != 0)
        return {};
    target.path = substitute.substr(ntPrefix.size());
    target.volumeRoot = target.path.compare(0, 7, L"Volume{") == 0;
    // Anything else that is not a drive path (a remote share above all) is left unreadable.
    target.readable = target.volumeRoot || (target.path.size() >= 2 && target.path[1] == L':');
    return target;
}

TrustedFolder Refused(FolderTrust trust = FolderTrust::refused)
{
    TrustedFolder folder;
    folder.trust = trust;
    return folder;
}

TrustedFolder Walk(const std::wstring& path, int hops);

// The folder a checked link leads to.
TrustedFolder FollowLink(HANDLE link, const std::wstring& linkFolder, int hops)
{
    if (hops >= maxLinkHops)
        return Refused();
    const LinkTarget target = ReadLinkTarget(link, linkFolder);
    if (!target.readable)
        return Refused();
    if (!target.volumeRoot)
        return Walk(target.path, hops + 1);
    // A volume's root has nothing above it where a link could be planted: take the path it is known by.
    TrustedFolder root;
    root.handle.reset(CreateFileW((L"\\\\?\\" + WithoutTrailingBackslash(target.path) + L"\\").c_str(),
                                  READ_CONTROL | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    root.path = root.handle ? FinalPathOf(root.handle.get()) : std::wstring();
    if (root.path.empty() || LocalFullPath(root.path + L"\\").empty())
        return Refused();
    root.trust = FolderTrust::trusted;
    return root;
}

// Opens each component of the path in turn without following it. A component that is a link is taken only
// when the folder holding it admits changes only by administrators, and is then followed by walking its
// target the same way. Every component must be reached exactly inside the folder before it: a link that
// the file system followed without reporting it, or a folder swapped meanwhile, ends the walk.
TrustedFolder Walk(const std::wstring& path, int hops)
{
    const std::wstring full = LocalFullPath(path);
    if (full.empty())
        return Refused();
    TrustedFolder current;
    current.path = full.substr(0, 2);
    current.handle = OpenWithoutFollowing(current.path + L"\\");
    if (!current.handle || !SamePath(FinalPathOf(current.handle.get()), current.path))
        return Refused();

    size_t start = 3;
    while (start < full.size())
    {
        size_t end = full.find(L'\\', start);
        if (end == std::wstring::npos)
            end = full.size();
        const std::wstring candidate = current.path + L"\\" + full.substr(start, end - start);
        start = end + 1;

        UniqueFile next = OpenWithoutFollowing(candidate);
        if (!next)
        {
            return Refused(IsMissingError(GetLastError()) ? FolderTrust::missing : FolderTrust::refused);
        }
        const std::wstring reached = FinalPathOf(next.get());
        const EntryKind kind = KindOf(next.get());
        if (!kind.known || !SamePath(ParentOf(reached), current.path))
            return Refused();
        if (kind.link)
        {
            if (!FolderAdmitsChangesOnlyByAdministrators(current.handle.get()))
                return Refused();
            TrustedFolder target = FollowLink(next.get(), current.path, hops);
            if (target.trust != FolderTrust::trusted)
                return target;
            current = std::move(target);
        }
        else if (!kind.directory)
        {
            return Refused(FolderTrust::missing);
        }
        else
        {
            current.path = reached;
            current.handle = std::move(next);
        }
    }
    current.trust = FolderTrust::trusted;
    return current;
}

} // namespace

EntryKind KindOf(HANDLE entry)
{
    FILE_ATTRIBUTE_TAG_INFO info{};
    EntryKind kind;
    kind.known = GetFileInformationByHandleEx(entry, FileAttributeTagInfo, &info, sizeof info) != FALSE;
    kind.link = (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                IsReparseTagNameSurrogate(info.ReparseTag);
    kind.directory = (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return kind;
}

bool IsMissingError(unsigned long error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::wstring ExtendedPath(const std::wstring& path)
{
    return L"\\\\?\\" + path;
}

std::wstring FinalPathOf(HANDLE handle)
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()), 0);
    if (length >= path.size())
    {
        path.resize(length);
        length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()), 0);
    }
    if (length == 0 || length >= path.size())
        return {};
    path.resize(length);
    // A remote file is reached as "\\?\UNC\server\share\...": kept as it is, it names no local folder.
    const std::wstring prefix = L"\\\\?\\";
    if (path.compare(0, prefix.size(), prefix) == 0 && path.compare(prefix.size(), 4, L"UNC\\") != 0)
        path.erase(0, prefix.size());
    return WithoutTrailingBackslash(path);
}

bool SamePath(const std::wstring& left, const std::wstring& right)
{
    return !left.empty() && CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                                 static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

namespace
{

// Whether a descriptor's owner is trusted and its DACL grants none of `rights` to anyone untrusted: the
// administrator accounts, and `alsoTrusted` where given.
bool AdmitsOnlyTrusted(const void* securityDescriptor, ACCESS_MASK rights, PSID alsoTrusted)
{
    const auto descriptor = const_cast<PSECURITY_DESCRIPTOR>(securityDescriptor);
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    // The owner may always rewrite the folder's permissions.
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || owner == nullptr ||
        !IsTrustedAccount(owner, alsoTrusted))
        return false;
    BOOL present = FALSE;
    PACL dacl = nullptr;
    // No DACL at all grants everyone everything.
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || dacl == nullptr)
        return false;
    for (DWORD index = 0; index < dacl->AceCount; ++index)
    {
        void* ace = nullptr;
        if (!GetAce(dacl, index, &ace))
            return false;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        // An inherit-only entry grants nothing on the folder itself; deny entries only take rights away.
        if ((header->AceFlags & INHERIT_ONLY_ACE) != 0 || header->AceType == ACCESS_DENIED_ACE_TYPE ||
            header->AceType == ACCESS_DENIED_CALLBACK_ACE_TYPE || header->AceType == SYSTEM_AUDIT_ACE_TYPE ||
            header->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE)
            continue;
        // Allow entries of a layout other than the plain one are not read: taken as granting everything.
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_ALLOWED_CALLBACK_ACE_TYPE)
            return false;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & rights) != 0 &&
            !IsTrustedAccount(const_cast<DWORD*>(&allowed->SidStart), alsoTrusted))
            return false;
    }
    return true;
}

} // namespace

bool AdmitsChangesOnlyByAdministrators(const void* securityDescriptor)
{
    return AdmitsOnlyTrusted(securityDescriptor, changeRights, nullptr);
}

TrustedFolder OpenTrustedFolder(const std::wstring& folder)
{
    return Walk(folder, 0);
}

// Who could have placed a file: the file and its folder must admit changes by trusted accounts only (a DLL
// added beside a program is loaded by it); a folder further up need only keep anyone else from deleting,
// renaming or re-permitting what it holds. Adding new entries there changes nothing on the file's path, and
// a drive's root lets Authenticated Users add folders.
namespace
{

constexpr ACCESS_MASK replaceEntryRights =
    FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED;

// Each path that leads to the file, "C:" (the root) first and the file itself last.
std::vector<std::wstring> PathsLeadingTo(const std::wstring& full)
{
    std::vector<std::wstring> paths{full.substr(0, 2)};
    for (size_t at = full.find(L'\\', 3); at != std::wstring::npos; at = full.find(L'\\', at + 1))
        paths.push_back(full.substr(0, at));
    paths.push_back(full);
    return paths;
}

} // namespace

bool OnlyTrustedCouldHavePlaced(const std::vector<const void*>& pathDescriptors, const void* ownUser)
{
    const PSID user = const_cast<void*>(ownUser);
    const size_t count = pathDescriptors.size();
    if (count < 2)
        return false;
    for (size_t index = 0; index < count; ++index)
    {
        const ACCESS_MASK rights = index + 2 >= count ? changeRights : replaceEntryRights;
        if (pathDescriptors[index] == nullptr || !AdmitsOnlyTrusted(pathDescriptors[index], rights, user))
            return false;
    }
    return true;
}

bool OnlyTrustedCouldHavePlacedFile(const std::wstring& file, const void* ownUser)
{
    const std::wstring full = LocalFullPath(file);
    if (full.size() <= 3)
        return false;
    const std::vector<std::wstring> paths = PathsLeadingTo(full);
    std::vector<UniqueLocalMemory> descriptors;
    std::vector<const void*> chain;
    for (const std::wstring& path : paths)
    {
        // The root is opened as "C:\"; every entry must be reached exactly, none of them a link.
        const UniqueFile entry = OpenWithoutFollowing(path.size() == 2 ? path + L"\\" : path);
        const EntryKind kind = entry ? KindOf(entry.get()) : EntryKind{};
        const bool last = &path == &paths.back();
        if (!kind.known || kind.link || kind.directory == last || !SamePath(FinalPathOf(entry.get()), path))
            return false;
        descriptors.push_back(SecurityOf(entry.get()));
        chain.push_back(descriptors.back().get());
    }
    return OnlyTrustedCouldHavePlaced(chain, ownUser);
}
