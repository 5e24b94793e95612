// Who could have placed a file: whether nobody but Administrators, SYSTEM, TrustedInstaller and one more
// account could have put it there or replaced it, decided on the owner and DACL of the file, its folder and
// every folder above. Needs the path walk (PathTrust) and advapi32.
#pragma once

#include <string>
#include <vector>

// From the security descriptors along a path, the drive's root first and the file last. The file and its
// folder must admit changes by those accounts only (a DLL planted beside a program is loaded by it); a folder
// further up need only keep everyone else from deleting, renaming or re-permitting what it holds, since
// adding new entries there changes nothing on the file's path (a drive's root lets Authenticated Users add
// folders).
bool OnlyTrustedCouldHavePlaced(const std::vector<const void*>& pathDescriptors, const void* ownUser);

// The same for a file on a local disk, reached through the install's path walk: false for a path the walk
// refuses, a file that is itself a link, or permissions that cannot be read.
bool OnlyTrustedCouldHavePlacedFile(const std::wstring& file, const void* ownUser);
