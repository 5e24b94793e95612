// The wizard's only reader of the registry: subkey lists, string values (with the per-user hive search for
// HKEY_CURRENT_USER), and the directory lookups of the Visual C++ generations and the MinGW-based IDEs.
// Every key is opened read-only and closed before the call returns; every failure is an empty result.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct HKEY__;
using HKEY = HKEY__*;

// Value reads offer this many bytes; a longer value reads as empty.
inline constexpr unsigned long registryValueBufferBytes = 2048;

// Names of the key's direct subkeys in enumeration order; a null path means the hive itself.
std::vector<std::wstring> EnumSubkeys(HKEY hive, const wchar_t* subkeyPath);

// The text of a REG_SZ or REG_EXPAND_SZ value (not expanded) up to its first zero character, at most 1024
// characters; any other type reads as empty. For HKEY_CURRENT_USER the "S-" hives of HKEY_USERS
// ("_Classes" hives left out) are read in turn and the last value read wins; a hive whose value is missing,
// too long or not text is passed over.
std::wstring ReadRegistryString(HKEY hive, const wchar_t* subkeyPath, const wchar_t* valueName);

// True only when the host's PROCESSOR_ARCHITECTURE is exactly "AMD64".
bool HostIs64();

// The subkeys of the Uninstall key of HKEY_LOCAL_MACHINE (the WOW6432Node one on a 64-bit host) with their
// display names, read in one walk at the first lookup. Every lookup sees them in enumeration order, as a walk
// of its own would; one object serves all the lookups of a detection pass.
class UninstallEntries
{
public:
    explicit UninstallEntries(bool hostIs64);

    bool ReadsWow64Key() const { return hostIs64_; }
    // The value of the first subkey whose display name is not empty and passes the test (empty when that
    // subkey lacks the value), or empty when none passes.
    std::wstring FirstMatchValue(const std::function<bool(const std::wstring&)>& displayNameTest,
                                 const wchar_t* valueName);

private:
    struct Subkey
    {
        std::wstring name;
        std::wstring displayName;
    };

    bool hostIs64_;
    bool walked_ = false;
    std::vector<Subkey> subkeys_;
};

// Display names of Visual Studio 2017, 2019, 2022 and 2026: "Visual Studio <edition> <year>" with Community,
// Professional or Enterprise, ignoring case, and an optional suffix in parentheses after one blank (2017:
// without the blank).
bool IsVisualStudioName(const std::wstring& displayName, int year);

// "Library Dirs" of Visual C++ 6.0, a list of folders separated by semicolons: the first item
// "<x>\VC98\MFC\Lib" (ignoring case, <x> not empty) names the VC98 folder <x>\VC98\. Without such an item the
// list is returned.
std::wstring Vc6RootFromLibraryDirs(const std::wstring& libraryDirs);

// The existing directory, ending with a backslash, that holds "include\" and the library folders of the
// Visual C++ generation (6, 2008, ..., 2026), or empty. `uninstall` must be of the same host width.
std::wstring FindVcRootDir(int version, bool hostIs64, UninstallEntries& uninstall);

// The existing directory, ending with a backslash, found for an IDE: 0 Dev-C++, 1 Code::Blocks, 2 CLion,
// 4 C-Free; empty for every other index or when nothing is found. The Uninstall key read is the one of
// `uninstall`'s host width.
std::wstring FindIdeDir(int ideIndex, UninstallEntries& uninstall);
