// Folder scans and path rules shared by the Visual C++ resolution and the MinGW probe: existence tests,
// first-match searches of a folder's entries, and the parent-or-self rule used when walking up a chosen
// folder. Every folder is reached through the install's path walk and listed through its handle.
#pragma once

#include <functional>
#include <string>

// Tells whether a file or folder name is the one looked for.
using NameTest = std::function<bool(const std::wstring& name)>;

// True when the path names an existing folder that the install's walk would take: nothing remote, and no
// link on the way that fails the link rule. A folder the install would refuse is, to discovery, no folder.
bool IsExistingDirectory(const std::wstring& path);

std::wstring WithTrailingBackslash(std::wstring path);
bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b);

// A network or device path ("\\server\share\...", "//server/...", "\\?\...", "\\.\...", "\??\..."): the
// registry reader takes none, as an ordinary user may have written it there.
bool IsNetworkOrDevicePath(const std::wstring& path);

// Drive name plus root backslash ("C:\" for C:\A\B), "\\server\share\" for a UNC path, empty for a relative
// one.
std::wstring RootPath(const std::wstring& path);
// The folder without its last component and the backslashes before it, never shorter than its root path;
// an empty folder or a root path is its own parent. "C:\A\" yields "C:\A".
std::wstring ParentOrSelf(const std::wstring& path);
// The next folder to examine when walking up from a chosen folder: its parent, or empty when that parent is
// the root path (the walk stops below the root; a root is examined only when it was chosen itself).
std::wstring NextFolderUp(const std::wstring& path);

// folder + name + "\" when folder (ending with a backslash) holds a subfolder of that name, ignoring case;
// the name is spelled as passed in. Empty otherwise.
std::wstring FindSubdirNamed(const std::wstring& folder, const std::wstring& name);
// folder + the first listed subfolder whose name passes the test + "\", or empty. A subfolder that is a
// link the install would not follow is passed over, as if it were not there.
std::wstring FindSubdirMatching(const std::wstring& folder, const NameTest& test);
// Full path of the first listed entry (file or folder) whose name passes the test, or empty.
std::wstring FindFirstMatch(std::wstring directory, const NameTest& test);
