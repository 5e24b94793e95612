// Compiler generations from file versions: the version resource of an executable (read through version.dll,
// loaded from the system folder only) mapped to a Visual C++ generation number.
#pragma once

#include <string>

// major * 100 + minor -> 6, 2008, ..., 2026; 0 for major 0; any unknown major gives the code itself
// (so Dev-C++ 5.4 gives 504).
int GenerationFromVersion(int code);

// GenerationFromVersion of the file's version; 0 when the file has no readable version resource, or when
// the install's walk refuses it (a link on the way that fails the link rule, a remote path).
int GenerationOfExecutable(const std::wstring& path);
