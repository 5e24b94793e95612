// The wizard's only reader of the registry: subkey lists, string values (with the per-user hive search for
// HKEY_CURRENT_USER), and the directory lookups of the Visual C++ generations and the MinGW-based IDEs.
// Every key is opened read-only and closed before the call returns; every failure is an empty result.
#pragma once

#include <string>
#include <vector>

struct HKEY__;
using HKEY = HKEY__*;

// Value reads offer this many bytes; a longer value reads as empty.
inline constexpr unsigned long registryValueBufferBytes = 2048;

// Names of the key's direct subkeys in enumeration order; a null path means the hive itself.
std::vector<std::wstring> EnumSubkeys(HKEY hive, const wchar_t* subkeyPath);

// The value's text up to its first zero character, at most 1024 characters. For HKEY_CURRENT_USER the
// "S-" hives of HKEY_USERS ("_Classes" hives left out) are read in turn and the last value read wins; a hive
// that has the key but not the value makes the whole read empty.
std::wstring ReadRegistryString(HKEY hive, const wchar_t* subkeyPath, const wchar_t* valueName);

// True only when the host's PROCESSOR_ARCHITECTURE is exactly "AMD64".
bool HostIs64();

// The existing directory, ending with a backslash, that holds "include\" and the library folders of the
// Visual C++ generation (6, 2008, ..., 2026), or empty.
std::wstring FindVcRootDir(int version, bool hostIs64);

// The existing directory, ending with a backslash, found for an IDE: 0 Dev-C++, 1 Code::Blocks, 2 CLion,
// 4 C-Free; empty for every other index or when nothing is found.
std::wstring FindIdeDir(int ideIndex, bool hostIs64);
