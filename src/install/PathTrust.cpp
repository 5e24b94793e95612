#include "install/PathTrust.h"

#include <aclapi.h>
#include <winioctl.h>

#include <cwctype>
#include <utility>

namespace
{

// Links are followed at most this often in one walk (Windows itself stops at 63).
constexpr int maxLinkHops = 31;

// What every step asks: enough to read the entry's kind, its permissions and where it is.
constexpr ACCESS_MASK stepAccess = READ_CONTROL | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
// No share-delete: while the walk holds an entry, nobody can rename or delete it, or anything above it.
constexpr ULONG holdShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

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

std::wstring NameOf(const std::wstring& path)
{
    return path.substr(path.find_last_of(L'\\') + 1);
}

std::vector<std::wstring> Components(const std::wstring& path)
{
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start < path.size())
    {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        if (end > start)
            names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// The absolute form of a local drive path ("C:\x\y", "." and ".." folded, "/" turned into "\"), or empty for
// anything else: a remote or device path ("\\server\share", "\\?\...", "\\.\...") or a drive that is remote.
// Told from the string, before anything is opened: a remote drive is never contacted.
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

std::vector<unsigned char> ReparseDataOf(HANDLE link)
{
    std::vector<unsigned char> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD size = 0;
    if (!DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                         static_cast<DWORD>(buffer.size()), &size, nullptr))
        size = 0;
    buffer.resize(size);
    return buffer;
}

// An entry opened relative to its folder must have been reached exactly there: a link that the file system
// followed without reporting it (Wine's Unix links) shows up in the path the handle reached. An 8.3 alias
// names the entry under another spelling, so only its folder is compared.
bool ReachedInside(const std::wstring& reached, const std::wstring& folder, const std::wstring& name)
{
    return SamePath(ParentOf(reached), folder) &&
           (name.find(L'~') != std::wstring::npos || SamePath(NameOf(reached), name));
}

class Walker
{
public:
    Walker(const NtFiles& nt, unsigned long finalAccess, const WalkSeam& seam)
        : nt_(nt), finalAccess_(finalAccess), seam_(seam)
    {
    }

    // A drive path, from its drive's root.
    TrustedFolder Walk(const std::wstring& path, bool final)
    {
        const std::wstring full = LocalFullPath(path);
        if (full.empty())
            return {};
        TrustedFolder folder = OpenRoot(L"\\??\\" + full.substr(0, 2) + L"\\", final && full.size() <= 3);
        if (folder.trust == FolderTrust::trusted && !SamePath(folder.path, full.substr(0, 2)))
            folder.trust = FolderTrust::refused;
        if (folder.trust == FolderTrust::trusted)
            Descend(folder, Components(full.substr(2)), final);
        return folder;
    }

    // A volume named by its GUID, from its root.
    TrustedFolder WalkVolume(const std::wstring& volume, const std::wstring& below, bool final)
    {
        const std::vector<std::wstring> names = Components(below);
        TrustedFolder folder = OpenRoot(L"\\??\\" + volume + L"\\", final && names.empty());
        if (folder.trust == FolderTrust::trusted)
            Descend(folder, names, final);
        return folder;
    }

private:
    ACCESS_MASK AccessFor(bool final) const { return stepAccess | (final ? finalAccess_ : 0); }

    TrustedFolder OpenRoot(const std::wstring& ntPath, bool final)
    {
        TrustedFolder root;
        unsigned long error = 0;
        root.handle = nt_.Open(nullptr, ntPath, AccessFor(final), holdShare, NtCreate::openExisting,
                               NtCreate::directoryOnly, error);
        root.path = root.handle ? FinalPathOf(root.handle.get()) : std::wstring();
        root.trust = root.path.empty() || nt_.VolumeOf(root.handle.get()) == VolumeKind::remote
                         ? FolderTrust::refused
                         : FolderTrust::trusted;
        return root;
    }

    void Descend(TrustedFolder& folder, const std::vector<std::wstring>& names, bool final)
    {
        for (size_t index = 0; index < names.size() && folder.trust == FolderTrust::trusted; ++index)
        {
            if (seam_)
                seam_(folder.path);
            folder.trust = Step(folder, names[index], final && index + 1 == names.size());
        }
    }

    // Moves the walk from `folder` into its entry `name`.
    FolderTrust Step(TrustedFolder& folder, const std::wstring& name, bool final)
    {
        unsigned long error = 0;
        UniqueFile entry = nt_.Open(folder.handle.get(), name, stepAccess, holdShare, NtCreate::openExisting,
                                    NtCreate::openReparsePoint, error);
        if (!entry)
            return IsMissingError(error) ? FolderTrust::missing : FolderTrust::refused;
        const EntryKind kind = KindOf(entry.get());
        if (!kind.known)
            return FolderTrust::refused;
        if (kind.link)
            return FollowLink(folder, std::move(entry), final);
        const std::wstring reached = FinalPathOf(entry.get());
        if (!ReachedInside(reached, folder.path, name))
            return FolderTrust::refused;
        if (!kind.directory)
            return FolderTrust::missing;
        if (final && finalAccess_ != 0)
        {
            // Asked again for more: the entry, held since the first open, cannot have been renamed or
            // replaced meanwhile.
            UniqueFile more =
                nt_.Open(folder.handle.get(), name, AccessFor(true), holdShare, NtCreate::openExisting,
                         NtCreate::directoryOnly | NtCreate::openReparsePoint, error);
            if (!more)
                return FolderTrust::refused;
            folder.held.push_back(std::move(entry));
            entry = std::move(more);
        }
        folder.held.push_back(std::move(folder.handle));
        folder.handle = std::move(entry);
        folder.path = reached;
        return FolderTrust::trusted;
    }

    // Takes the walk through a link that passes the link rule to the folder it leads to.
    FolderTrust FollowLink(TrustedFolder& folder, UniqueFile link, bool final)
    {
        if (++hops_ > maxLinkHops)
            return FolderTrust::refused;
        const UniqueLocalMemory holderSecurity = SecurityOf(folder.handle.get());
        const UniqueLocalMemory linkSecurity = SecurityOf(link.get());
        const std::vector<unsigned char> reparse = ReparseDataOf(link.get());
        LinkFacts facts;
        facts.holderDescriptor = holderSecurity.get();
        facts.linkDescriptor = linkSecurity.get();
        facts.volume = nt_.VolumeOf(link.get());
        facts.reparseData = reparse.data();
        facts.reparseSize = reparse.size();
        const LinkDecision decision = DecideLink(facts);
        if (decision.verdict != LinkVerdict::follow)
            return FolderTrust::refused;

        TrustedFolder target;
        if (decision.target.kind == LinkTargetKind::volume)
            target = WalkVolume(decision.target.volume, decision.target.path, final);
        else if (decision.target.kind == LinkTargetKind::relative)
            target = Walk(folder.path + L"\\" + decision.target.path, final);
        else
            target = Walk(decision.target.path, final);
        if (target.trust != FolderTrust::trusted)
            return target.trust;
        folder.held.push_back(std::move(folder.handle));
        folder.held.push_back(std::move(link));
        for (UniqueFile& handle : target.held)
            folder.held.push_back(std::move(handle));
        folder.handle = std::move(target.handle);
        folder.path = std::move(target.path);
        return FolderTrust::trusted;
    }

    const NtFiles& nt_;
    const unsigned long finalAccess_;
    const WalkSeam& seam_;
    int hops_ = 0;
};

} // namespace

TrustedFolder OpenTrustedFolder(const std::wstring& folder, unsigned long extraAccess,
                                const WalkSeam& betweenSteps)
{
    const NtFiles nt;
    if (!nt.Loaded())
        return {};
    TrustedFolder opened = Walker(nt, extraAccess, betweenSteps).Walk(folder, true);
    if (opened.trust != FolderTrust::trusted)
    {
        opened.handle.reset();
        opened.held.clear();
    }
    return opened;
}

TrustedFile OpenTrustedFile(const std::wstring& path, unsigned long access, const WalkSeam& betweenSteps)
{
    TrustedFile file;
    const size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos || cut + 1 == path.size())
        return file;
    const std::wstring name = path.substr(cut + 1);
    file.folder = OpenTrustedFolder(path.substr(0, cut + 1), 0, betweenSteps);
    file.trust = file.folder.trust;
    if (file.trust != FolderTrust::trusted)
        return file;
    if (betweenSteps)
        betweenSteps(file.folder.path);
    unsigned long error = 0;
    file.handle =
        OpenInFolder(file.folder, name, access | stepAccess, FILE_SHARE_READ, NtCreate::openExisting, error);
    const EntryKind kind = file.handle ? KindOf(file.handle.get()) : EntryKind();
    file.path = file.handle ? FinalPathOf(file.handle.get()) : std::wstring();
    if (!file.handle)
        file.trust = IsMissingError(error) ? FolderTrust::missing : FolderTrust::refused;
    else if (!kind.known || kind.link || kind.directory || !ReachedInside(file.path, file.folder.path, name))
        file.trust = FolderTrust::refused;
    if (file.trust != FolderTrust::trusted)
        file.handle.reset();
    return file;
}

UniqueFile OpenInFolder(const TrustedFolder& folder, const std::wstring& name, unsigned long access,
                        unsigned long share, unsigned long disposition, unsigned long& error)
{
    const NtFiles nt;
    return nt.Open(folder.handle.get(), name, access, share, disposition,
                   NtCreate::nonDirectory | NtCreate::openReparsePoint, error);
}

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
