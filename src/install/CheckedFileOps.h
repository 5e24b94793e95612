// The installation engine's checked file operations: the read of a release file, the copy of its bytes, the
// delete of a file and the removal of an installed library file. Each reaches its folder through the path
// check (no planted link is followed, nothing remote is touched), acts through a handle that is known to have
// reached that folder, and turns every failure into the result the list page shows.
#pragma once

#include <string>

// Puts a release file's bytes (read and checked by the caller) into place whole or not at all: they go to a
// temporary name beside the target, which then takes the target's name in one step. A foreign graphics.h in
// the way (neither these bytes nor including gravo.h) is kept under the next kept name (LibraryFiles.h), or
// replaced when the most recent kept one has its bytes. Empty on success, "安装失败" when the copy fails or
// is refused, "安装异常" when a standard exception is raised.
std::wstring CopyReleaseFile(const std::string& releaseBytes, const std::wstring& target);

// Writes a file of the given contents the same way, whole or not at all; false when that fails or is refused.
bool WriteNewFile(const std::wstring& target, const std::string& contents);

// Empty when the file is absent or was deleted, "操作失败。" when the delete fails or is refused, "操作异常"
// on an exception.
std::wstring DeleteExistingFile(const std::wstring& path);

enum class RemoveOutcome
{
    removed,
    absent,
    failed, // refused, not the library's file, or the delete failed
};

// Deletes an installed file only when it is the library's (graphics.h is compared with the bytes of its
// release copy, empty when unknown) and puts the most recent kept foreign graphics.h back in its place, also
// when the library's is absent.
RemoveOutcome RemoveLibraryFile(const std::wstring& installed, const std::string& releaseCopy);

// The whole file, read through the same path check as the writes: false when it is absent, refused (a link
// at the file or one the check does not take on the way), unreadable or longer than `limit` bytes.
bool ReadCheckedFile(const std::wstring& path, size_t limit, std::string& contents);
