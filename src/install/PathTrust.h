// Which folders and files the elevated wizard may touch: a path is walked component by component, each
// opened relative to its parent's handle without following it, and every handle on the way stays open
// without share-delete until the operation ends, so nothing checked can be renamed or swapped meanwhile. A
// link on the way is followed only as LinkRule decides. Needs ntdll (NtFiles) and advapi32.
#pragma once

#include "install/LinkRule.h"
#include "win32/UniqueHandles.h"

#include <functional>
#include <string>
#include <vector>

enum class FolderTrust
{
    trusted, // every link on the way passed the link rule
    missing, // a folder on the way does not exist
    refused, // a remote path, a link that fails the rule, or a path changed under us
};

// A folder opened through the walk: its handle, the path that handle is known to have reached (absolute,
// without links, without a trailing backslash, e.g. "C:\Program Files\x"), and every folder and link on the
// way, held so that the path keeps naming what was checked.
struct TrustedFolder
{
    FolderTrust trust = FolderTrust::refused;
    std::wstring path;
    UniqueFile handle;
    std::vector<UniqueFile> held;
};

// Runs between two steps of a walk with the path reached so far: the place where a test changes the disk
// under a walk.
using WalkSeam = std::function<void(const std::wstring& reached)>;

// `extraAccess` is asked of the final folder only (FILE_LIST_DIRECTORY to list its entries).
TrustedFolder OpenTrustedFolder(const std::wstring& folder, unsigned long extraAccess = 0,
                                const WalkSeam& betweenSteps = WalkSeam());

// An existing file reached through the walk and opened without following it; a file that is itself a link
// is refused. While it lives, its folders are held, so its path names this very file.
struct TrustedFile
{
    FolderTrust trust = FolderTrust::refused;
    TrustedFolder folder;
    std::wstring path;
    UniqueFile handle;
};
TrustedFile OpenTrustedFile(const std::wstring& path, unsigned long access,
                            const WalkSeam& betweenSteps = WalkSeam());

// Opens (or with NtCreate::createNew creates) the file `name` of a walked folder relative to its handle,
// without following it. On failure the handle is empty and `error` holds the Win32 error code.
UniqueFile OpenInFolder(const TrustedFolder& folder, const std::wstring& name, unsigned long access,
                        unsigned long share, unsigned long disposition, unsigned long& error);

// What an open file-system entry is, read through its handle.
struct EntryKind
{
    bool known = false; // the system told
    bool link = false;  // a junction, symbolic link or mount point (a name surrogate)
    bool directory = false;
};
EntryKind KindOf(HANDLE entry);

// The errors that say a path names nothing (rather than something that may not be opened).
bool IsMissingError(unsigned long error);

// The path a handle has reached, as GetFinalPathNameByHandleW tells it, without its "\\?\" prefix and
// trailing backslash; empty when the system cannot tell.
std::wstring FinalPathOf(HANDLE handle);

// Case-blind comparison of two paths, as the file system compares names.
bool SamePath(const std::wstring& left, const std::wstring& right);

// An open entry's security descriptor with its owner and DACL (the handle needs READ_CONTROL), or empty.
UniqueLocalMemory SecurityOf(HANDLE entry);

// "\\?\" + path: the form that reaches exactly this path, whatever its length.
std::wstring ExtendedPath(const std::wstring& path);
