// Which installed files are the library's own: every file it installs is its own by name, except graphics.h,
// a name other libraries use too, which is its own only by contents. A foreign graphics.h that an install
// replaces is kept beside it under a name the uninstall finds again.
#pragma once

#include <string>

// The name under which a foreign graphics.h is kept while the library's copy stands in its place.
inline constexpr const wchar_t* keptHeaderSuffix = L".gravo-kept";

// True for the one installed name whose owner only the contents tell.
bool IsSharedHeaderName(const std::wstring& fileName);

// A graphics.h is the library's when it is the release's copy byte for byte, or includes gravo.h (a line
// `#include "gravo.h"` or `#include <gravo.h>`), as every release's graphics.h does.
bool IsLibraryGraphicsHeader(const std::string& contents, const std::string& releaseContents);
