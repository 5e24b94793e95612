// Which installed files are the library's own: every file it installs is its own by name, except graphics.h,
// a name other libraries use too, which is its own only by contents. A foreign graphics.h that an install
// replaces is kept beside it under a name the uninstall finds again.
#pragma once

#include <string>

// The names a foreign graphics.h is kept under while the library's copy stands in its place, oldest first:
// number 1 is "graphics.h.gravo-kept", then "graphics.h.gravo-kept-2" and on up to keptHeaderNames. Another
// library's installer may put its header back over the library's between two installs; each such header
// is kept under the next number, and the uninstall gives back the most recent.
inline constexpr int keptHeaderNames = 100;
std::wstring KeptHeaderName(const std::wstring& fileName, int number);

// True for the one installed name whose owner only the contents tell.
bool IsSharedHeaderName(const std::wstring& fileName);

// A graphics.h is the library's when it is the release's copy byte for byte, or includes gravo.h (a line
// `#include "gravo.h"` or `#include <gravo.h>`), as every release's graphics.h does.
bool IsLibraryGraphicsHeader(const std::string& contents, const std::string& releaseContents);
