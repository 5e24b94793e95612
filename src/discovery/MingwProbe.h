// MinGW tool chain probing: classifies a tool chain from its folder layout, the libgcc runtime DLLs in its
// "bin\" folder and its gcc's -v report. The probe itself (ProbeMingwEnvironment, ProbeToolchain,
// CheckSupport) is part of the environment table; these are its pure classifiers.
#pragma once

#include <string>

struct MingwToolchainRow;

// The tool chain's folder: a name holding "mingw", ignoring case.
bool IsMingwFolderName(const std::wstring& name);
// The Dev-C++ executable: a name holding "devcpp" and ending in ".exe", ignoring case.
bool IsDevcppExecutableName(const std::wstring& name);

// "_seh", "_sjlj", "_dwarf" from the runtime DLL names in binDir, else from the report; else "unkonw-ex".
std::wstring DetectExceptionModel(const std::wstring& binDir, const std::wstring& report);
// "_posix" for a posix or win32 thread model line, else "_mcf".
std::wstring DetectThreadModel(const std::wstring& report);
// "_ucrt" when the report names ucrt anywhere, else "_msvcrt".
std::wstring DetectCrt(const std::wstring& report);

// Empties the row's include and library folders that do not exist below baseDir; notes when both library
// folders are there.
void CheckLibraryDirs(const std::wstring& baseDir, MingwToolchainRow& row);
