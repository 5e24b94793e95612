#include "install/CheckedFileOps.h"

#include "install/LibraryFiles.h"
#include "install/PathTrust.h"
#include "win32/UniqueHandles.h"

#include <exception>
#include <utility>
#include <vector>

namespace
{

// A graphics.h larger than this is no header the library ever shipped; it is not read further.
constexpr size_t headerReadLimit = 1 << 20;

enum class EntryState
{
    absent,
    opened,
    refused,
};

// A file in a checked folder, opened without following it, for reading, renaming and deleting.
struct CheckedEntry
{
    TrustedFolder folder;
    std::wstring name;
    UniqueFile file;
};

// What a file of a checked folder is opened for: reading, renaming and deleting an installed file, or only
// reading a release file (which the wizard need not be allowed to delete).
constexpr DWORD changeAccess = GENERIC_READ | DELETE;
constexpr DWORD readAccess = GENERIC_READ;

// Opens an existing file of the folder; others may read it meanwhile, not change it. A link, a folder, or
// a handle that reached any other place than that folder's entry is refused.
EntryState OpenEntry(const TrustedFolder& folder, const std::wstring& name, UniqueFile& file,
                     DWORD access = changeAccess)
{
    const std::wstring path = folder.path + L"\\" + name;
    unsigned long error = 0;
    file = OpenInFolder(folder, name, access, FILE_SHARE_READ, NtCreate::openExisting, error);
    if (!file)
        return IsMissingError(error) ? EntryState::absent : EntryState::refused;
    const EntryKind kind = KindOf(file.get());
    if (!kind.known || kind.link || kind.directory || !SamePath(FinalPathOf(file.get()), path))
    {
        file.reset();
        return EntryState::refused;
    }
    return EntryState::opened;
}

// The folder of a path checked and opened, and the file in it opened when it exists.
EntryState OpenChecked(const std::wstring& path, CheckedEntry& entry, DWORD access = changeAccess)
{
    const size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos || cut + 1 == path.size())
        return EntryState::refused;
    entry.name = path.substr(cut + 1);
    entry.folder = OpenTrustedFolder(path.substr(0, cut + 1));
    if (entry.folder.trust == FolderTrust::missing)
        return EntryState::absent;
    if (entry.folder.trust != FolderTrust::trusted)
        return EntryState::refused;
    return OpenEntry(entry.folder, entry.name, entry.file, access);
}

// The whole file from its current position; false when it is longer than the limit or cannot be read.
bool ReadUpTo(HANDLE file, size_t limit, std::string& contents)
{
    contents.clear();
    std::vector<char> buffer(1 << 14);
    for (;;)
    {
        DWORD got = 0;
        if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return false;
        if (got == 0)
            return true;
        contents.append(buffer.data(), got);
        if (contents.size() > limit)
            return false;
    }
}

// Every installed name is the library's, except graphics.h, whose contents (left in `contents`) must say so.
bool IsLibrarysCopy(HANDLE installed, const std::wstring& name, const std::string& releaseCopy,
                    std::string& contents)
{
    if (!IsSharedHeaderName(name))
        return true;
    return ReadUpTo(installed, headerReadLimit, contents) && IsLibraryGraphicsHeader(contents, releaseCopy);
}

// The most recent kept foreign header beside a graphics.h: its number (0 when none is kept) and the file,
// opened when it could be. A kept header the user deleted leaves a gap; the highest number is the newest.
struct KeptHeader
{
    int number = 0;
    EntryState state = EntryState::absent;
    UniqueFile file;
};

KeptHeader MostRecentKept(const TrustedFolder& folder, const std::wstring& name)
{
    KeptHeader kept;
    for (int number = 1; number <= keptHeaderNames; ++number)
    {
        UniqueFile file;
        const EntryState state = OpenEntry(folder, KeptHeaderName(name, number), file);
        if (state == EntryState::absent)
            continue;
        kept.number = number;
        kept.state = state;
        kept.file = std::move(file);
    }
    return kept;
}

// The name a foreign graphics.h in the library's way is kept under: the one after the most recent kept
// header, or none when that header holds the same bytes (they are kept already, and the newcomer is simply
// replaced). A header too long to be read whole never equals one that was. False when no name is left.
bool KeptNameFor(const CheckedEntry& foreign, const std::string& contents, std::wstring& keptName)
{
    const KeptHeader kept = MostRecentKept(foreign.folder, foreign.name);
    std::string keptContents;
    if (kept.state == EntryState::opened && ReadUpTo(kept.file.get(), headerReadLimit, keptContents) &&
        keptContents == contents)
        return true;
    if (kept.number == keptHeaderNames)
        return false;
    keptName = KeptHeaderName(foreign.name, kept.number + 1);
    return true;
}

bool MarkForDeletion(HANDLE file)
{
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

bool TryRename(HANDLE file, HANDLE rootFolder, const std::wstring& name, bool replace)
{
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = rootFolder;
    info->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    name.copy(info->FileName, name.size());
    return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != FALSE;
}

// Gives an open file of the folder another name in the same folder, in one step.
bool RenameWithin(HANDLE file, const TrustedFolder& folder, const std::wstring& name, bool replace)
{
    if (TryRename(file, folder.handle.get(), name, replace))
        return true;
    if (GetLastError() != ERROR_INVALID_PARAMETER)
        return false;
    // Wine takes no folder handle for a rename: the folder is named in full, and where the file went is
    // checked afterwards.
    const std::wstring path = folder.path + L"\\" + name;
    return TryRename(file, nullptr, ExtendedPath(path), replace) && SamePath(FinalPathOf(file), path);
}

// A new file under a temporary name in a checked folder; deleted again unless it was put in place.
class PendingFile
{
public:
    PendingFile() = default;
    ~PendingFile()
    {
        if (file_ && !placed_)
            MarkForDeletion(file_.get());
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // The temporary name is short whatever the target's name: a long name plus a suffix could pass the
    // file system's limit for one name.
    bool Create(const TrustedFolder& folder)
    {
        static unsigned counter = 0;
        for (int attempt = 0; attempt < 16; ++attempt)
        {
            const std::wstring name = L"~gravo-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                      std::to_wstring(++counter) + L".new";
            const std::wstring path = folder.path + L"\\" + name;
            unsigned long error = 0;
            file_ = OpenInFolder(folder, name, GENERIC_READ | GENERIC_WRITE | DELETE, 0, NtCreate::createNew,
                                 error);
            if (file_)
                return SamePath(FinalPathOf(file_.get()), path);
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                return false;
        }
        return false;
    }
    HANDLE get() const { return file_.get(); }
    void Placed() { placed_ = true; }

private:
    UniqueFile file_;
    bool placed_ = false;
};

bool WriteAll(HANDLE target, const char* data, size_t size)
{
    while (size > 0)
    {
        const DWORD chunk = static_cast<DWORD>(size < (1u << 20) ? size : (1u << 20));
        DWORD written = 0;
        if (!WriteFile(target, data, chunk, &written, nullptr) || written != chunk)
            return false;
        data += chunk;
        size -= chunk;
    }
    return true;
}

// Writes a file of the given contents under a temporary name, then gives it the target's name in one step.
// `releaseCopy` is the release's graphics.h that tells whether a graphics.h in the way is the library's.
bool PutInPlace(const std::string& releaseCopy, const std::wstring& target, const std::string& contents)
{
    CheckedEntry existing;
    const EntryState state = OpenChecked(target, existing);
    if (state == EntryState::refused || existing.folder.trust != FolderTrust::trusted)
        return false;
    std::string foreignContents;
    std::wstring keptName;
    if (state == EntryState::opened &&
        !IsLibrarysCopy(existing.file.get(), existing.name, releaseCopy, foreignContents) &&
        !KeptNameFor(existing, foreignContents, keptName))
        return false;
    const bool keepForeign = !keptName.empty();
    if (!keepForeign)
        existing.file.reset();

    PendingFile copy;
    if (!copy.Create(existing.folder) || !WriteAll(copy.get(), contents.data(), contents.size()) ||
        !FlushFileBuffers(copy.get()))
        return false;
    if (keepForeign && !RenameWithin(existing.file.get(), existing.folder, keptName, false))
        return false;
    if (RenameWithin(copy.get(), existing.folder, existing.name, true))
    {
        copy.Placed();
        return true;
    }
    if (keepForeign)
        RenameWithin(existing.file.get(), existing.folder, existing.name, false);
    return false;
}

// The library's graphics.h goes, and the most recent kept foreign header takes its place again; that one is
// given back also when the library's was no longer there (it vanished, or an install stopped after setting
// the foreign header aside), though the outcome still says the library's was absent.
RemoveOutcome Remove(const std::wstring& installed, const std::string& releaseCopy)
{
    CheckedEntry entry;
    const EntryState state = OpenChecked(installed, entry);
    if (state == EntryState::refused)
        return RemoveOutcome::failed;
    if (state == EntryState::opened)
    {
        std::string contents;
        if (!IsLibrarysCopy(entry.file.get(), entry.name, releaseCopy, contents) ||
            !MarkForDeletion(entry.file.get()))
            return RemoveOutcome::failed;
        entry.file.reset();
    }
    const RemoveOutcome outcome =
        state == EntryState::opened ? RemoveOutcome::removed : RemoveOutcome::absent;
    if (!IsSharedHeaderName(entry.name) || entry.folder.trust != FolderTrust::trusted)
        return outcome;
    const KeptHeader kept = MostRecentKept(entry.folder, entry.name);
    switch (kept.state)
    {
    case EntryState::absent:
        return outcome;
    case EntryState::opened:
        return RenameWithin(kept.file.get(), entry.folder, entry.name, false) ? outcome
                                                                              : RemoveOutcome::failed;
    default:
        return RemoveOutcome::failed;
    }
}

} // namespace

std::wstring CopyReleaseFile(const std::string& releaseBytes, const std::wstring& target)
{
    try
    {
        return PutInPlace(releaseBytes, target, releaseBytes) ? std::wstring() : L"安装失败";
    }
    catch (const std::exception&)
    {
        return L"安装异常";
    }
}

bool WriteNewFile(const std::wstring& target, const std::string& contents)
{
    try
    {
        return PutInPlace(std::string(), target, contents);
    }
    catch (const std::exception&)
    {
        return false;
    }
}

std::wstring DeleteExistingFile(const std::wstring& path)
{
    try
    {
        CheckedEntry entry;
        switch (OpenChecked(path, entry))
        {
        case EntryState::absent:
            return {};
        case EntryState::opened:
            return MarkForDeletion(entry.file.get()) ? std::wstring() : L"操作失败。";
        default:
            return L"操作失败。";
        }
    }
    catch (const std::exception&)
    {
        return L"操作异常";
    }
}

bool ReadCheckedFile(const std::wstring& path, size_t limit, std::string& contents)
{
    try
    {
        CheckedEntry entry;
        return OpenChecked(path, entry, readAccess) == EntryState::opened &&
               ReadUpTo(entry.file.get(), limit, contents);
    }
    catch (const std::exception&)
    {
        return false;
    }
}

RemoveOutcome RemoveLibraryFile(const std::wstring& installed, const std::string& releaseCopy)
{
    try
    {
        return Remove(installed, releaseCopy);
    }
    catch (const std::exception&)
    {
        return RemoveOutcome::failed;
    }
}
