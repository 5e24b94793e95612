// Which folders the elevated wizard may write into or delete from: a folder is reached component by component
// without following any link, and a link (junction, symbolic link, mount point) on the way is taken only
// where ordinary users could not have made it. Needs the file and security functions of kernel32/advapi32.
#pragma once

#include "win32/UniqueHandles.h"

#include <string>
#include <vector>

enum class FolderTrust
{
    trusted, // every link on the way was made where only administrators may change entries
    missing, // a folder on the way does not exist
    refused, // a remote path, or a link an ordinary user could have planted, or a path changed under us
};

// A folder opened through the check: its handle, and the path that handle is known to have reached
// (absolute, without links, without a trailing backslash, e.g. "C:\Program Files\x").
struct TrustedFolder
{
    FolderTrust trust = FolderTrust::refused;
    std::wstring path;
    UniqueFile handle;
};

TrustedFolder OpenTrustedFolder(const std::wstring& folder);

// True when a folder with this security descriptor lets nobody but Administrators, SYSTEM and
// TrustedInstaller add, delete or rename its entries or change its permissions (the owner included).
bool AdmitsChangesOnlyByAdministrators(const void* securityDescriptor);

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

// "\\?\" + path: the form that reaches exactly this path, whatever its length.
std::wstring ExtendedPath(const std::wstring& path);

// Whether nobody but Administrators, SYSTEM, TrustedInstaller and `ownUser` (a SID) could have placed,
// replaced or changed a file, from the security descriptors (owner and DACL) along its path: the drive's root
// first, the file last. Its folder counts like the file, since a DLL planted beside a program is loaded by
// it.
bool OnlyTrustedCouldHavePlaced(const std::vector<const void*>& pathDescriptors, const void* ownUser);
// The same for a file on a local disk, each entry of its path opened without following links: false for a
// remote or relative path, a link on the way, a folder where a file is named, or permissions it cannot read.
bool OnlyTrustedCouldHavePlacedFile(const std::wstring& file, const void* ownUser);
