#include "discovery/RegistryReader.h"

#include "discovery/FolderSearch.h"
#include "win32/UniqueHandles.h"

#include <windows.h>

#include <regex>

namespace
{

constexpr wchar_t uninstallKey32[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t uninstallKey64[] = L"Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t sxsKey32[] = L"Software\\Microsoft\\VisualStudio\\SxS\\VC7";
constexpr wchar_t sxsKey64[] = L"Software\\WOW6432Node\\Microsoft\\VisualStudio\\SxS\\VC7";
constexpr wchar_t vc6DirectoriesKey[] =
    L"Software\\Microsoft\\DevStudio\\6.0\\Build System\\Components\\Platforms\\Win32 (x86)\\Directories";

// Room for a subkey name, the terminating zero included.
constexpr DWORD subkeyNameChars = 255;

const std::wregex::flag_type patternFlags = std::regex::ECMAScript | std::regex::icase;

UniqueRegKey OpenForReading(HKEY hive, const wchar_t* subkeyPath)
{
    UniqueRegKey key;
    if (RegOpenKeyExW(hive, subkeyPath, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        key.release();
    return key;
}

// One value of an open key as text. The buffer is never read beyond what RegQueryValueExW wrote: a value that
// fills all 2048 bytes has no terminating zero and yields its 1024 characters.
bool ReadValueText(HKEY key, const wchar_t* valueName, std::wstring& text)
{
    wchar_t buffer[registryValueBufferBytes / sizeof(wchar_t)] = {};
    DWORD bytes = sizeof buffer;
    if (RegQueryValueExW(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes) !=
        ERROR_SUCCESS)
        return false;
    const size_t chars = bytes / sizeof(wchar_t);
    size_t length = 0;
    while (length < chars && buffer[length] != L'\0')
        ++length;
    text.assign(buffer, length);
    return true;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::wstring& text, const std::wstring& suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool IsUserHiveName(const std::wstring& name)
{
    // Case-sensitive on purpose: "s-..." is no SID and "_classes" no class hive.
    if (name.size() < 2 || !StartsWith(name, L"S-"))
        return false;
    return !(name.size() > 8 && EndsWith(name, L"_Classes"));
}

std::wstring ReadCurrentUserString(const wchar_t* subkeyPath, const wchar_t* valueName)
{
    std::wstring lastRead;
    for (const std::wstring& name : EnumSubkeys(HKEY_USERS, nullptr))
    {
        if (!IsUserHiveName(name))
            continue;
        const std::wstring path = name + L"\\" + (subkeyPath != nullptr ? subkeyPath : L"");
        UniqueRegKey key = OpenForReading(HKEY_USERS, path.c_str());
        if (!key)
            continue;
        if (!ReadValueText(key.get(), valueName, lastRead))
            return {};
    }
    return lastRead;
}

const wchar_t* UninstallKey(bool hostIs64)
{
    return hostIs64 ? uninstallKey64 : uninstallKey32;
}

// Full path of the first Uninstall subkey whose "DisplayName" the pattern matches, or empty.
std::wstring FindUninstallEntry(const std::wregex& displayNamePattern, bool hostIs64)
{
    const std::wstring uninstall = UninstallKey(hostIs64);
    for (const std::wstring& name : EnumSubkeys(HKEY_LOCAL_MACHINE, uninstall.c_str()))
    {
        const std::wstring path = uninstall + L"\\" + name;
        const std::wstring displayName = ReadRegistryString(HKEY_LOCAL_MACHINE, path.c_str(), L"DisplayName");
        if (!displayName.empty() && std::regex_search(displayName, displayNamePattern))
            return path;
    }
    return {};
}

std::wstring ReadUninstallValue(const std::wregex& displayNamePattern, const wchar_t* valueName,
                                bool hostIs64)
{
    const std::wstring path = FindUninstallEntry(displayNamePattern, hostIs64);
    return path.empty() ? std::wstring() : ReadRegistryString(HKEY_LOCAL_MACHINE, path.c_str(), valueName);
}

// The 2017 pattern has no blank before the suffix: "Visual Studio Community 2017 (2)" is not taken.
const std::wregex* VisualStudioPattern(int version)
{
    static const std::wregex vs2017(
        LR"(^Visual Studio (Community|Professional|Enterprise) 2017(\([^\)]+\))?$)", patternFlags);
    static const std::wregex vs2019(
        LR"(^Visual Studio (Community|Professional|Enterprise) 2019( \([^\)]+\))?$)", patternFlags);
    static const std::wregex vs2022(
        LR"(^Visual Studio (Community|Professional|Enterprise) 2022( \([^\)]+\))?$)", patternFlags);
    static const std::wregex vs2026(
        LR"(^Visual Studio (Community|Professional|Enterprise) 2026( \([^\)]+\))?$)", patternFlags);
    switch (version)
    {
    case 2017:
        return &vs2017;
    case 2019:
        return &vs2019;
    case 2022:
        return &vs2022;
    case 2026:
        return &vs2026;
    default:
        return nullptr;
    }
}

const wchar_t* SideBySideValue(int version)
{
    switch (version)
    {
    case 2008:
        return L"9.0";
    case 2010:
        return L"10.0";
    case 2012:
        return L"11.0";
    case 2013:
        return L"12.0";
    case 2015:
        return L"14.0";
    default:
        return nullptr;
    }
}

// "Library Dirs" of Visual C++ 6.0: the item "...\VC98\MFC\Lib" names the VC98 folder.
std::wstring Vc6RootFromLibraryDirs(const std::wstring& libraryDirs)
{
    static const std::wregex mfcLibItem(LR"([^;]+\\(?=vc98\\mfc\\lib$|vc98\\mfc\\lib;))", patternFlags);
    std::wsmatch match;
    if (!std::regex_search(libraryDirs, match, mfcLibItem))
        return libraryDirs;
    return match.str() + L"VC98\\";
}

std::wstring UpToLastBackslash(const std::wstring& text)
{
    const size_t last = text.rfind(L'\\');
    return last == std::wstring::npos ? std::wstring() : text.substr(0, last + 1);
}

// The common end of both lookups: an existing directory, ending with a backslash, or empty.
std::wstring ExistingDirectory(const std::wstring& path)
{
    if (path.empty() || !IsExistingDirectory(path))
        return {};
    return WithTrailingBackslash(path);
}

std::wstring FirstCodeBlocksPath()
{
    // Every HKEY_USERS key is visited here, ".DEFAULT" and the class hives included.
    for (const std::wstring& name : EnumSubkeys(HKEY_USERS, nullptr))
    {
        const std::wstring path = name + L"\\SoftWare\\CodeBlocks";
        std::wstring value = ReadRegistryString(HKEY_USERS, path.c_str(), L"Path");
        if (!value.empty())
            return value;
    }
    return {};
}

} // namespace

std::vector<std::wstring> EnumSubkeys(HKEY hive, const wchar_t* subkeyPath)
{
    std::vector<std::wstring> names;
    UniqueRegKey key = OpenForReading(hive, subkeyPath);
    if (!key)
        return names;
    DWORD count = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0; index < count; ++index)
    {
        wchar_t name[subkeyNameChars] = {};
        DWORD length = subkeyNameChars;
        if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS)
            names.emplace_back(name, length);
    }
    return names;
}

std::wstring ReadRegistryString(HKEY hive, const wchar_t* subkeyPath, const wchar_t* valueName)
{
    if (valueName == nullptr)
        return {};
    if (hive == HKEY_CURRENT_USER)
        return ReadCurrentUserString(subkeyPath, valueName);
    UniqueRegKey key = OpenForReading(hive, subkeyPath);
    std::wstring text;
    if (!key || !ReadValueText(key.get(), valueName, text))
        return {};
    return text;
}

bool HostIs64()
{
    return ReadRegistryString(HKEY_LOCAL_MACHINE,
                              L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
                              L"PROCESSOR_ARCHITECTURE") == L"AMD64";
}

std::wstring FindVcRootDir(int version, bool hostIs64)
{
    std::wstring dir;
    if (version == 6)
    {
        const std::wstring libraryDirs =
            ReadRegistryString(HKEY_CURRENT_USER, vc6DirectoriesKey, L"Library Dirs");
        if (!libraryDirs.empty())
            dir = Vc6RootFromLibraryDirs(libraryDirs);
    }
    else if (const wchar_t* sxsValue = SideBySideValue(version))
    {
        dir = ReadRegistryString(HKEY_LOCAL_MACHINE, hostIs64 ? sxsKey64 : sxsKey32, sxsValue);
    }
    else if (const std::wregex* pattern = VisualStudioPattern(version))
    {
        dir = ReadUninstallValue(*pattern, L"InstallLocation", hostIs64);
        if (!dir.empty())
            dir += dir.back() == L'\\' ? L"VC\\Auxiliary\\VS\\" : L"\\VC\\Auxiliary\\VS\\";
    }
    return ExistingDirectory(dir);
}

std::wstring FindIdeDir(int ideIndex, bool hostIs64)
{
    static const std::wregex devcpp(L"^.*?dev-c.*?$", patternFlags);
    static const std::wregex clion(L"^.*?clion.*?$", patternFlags);
    static const std::wregex cfree(L"^.*?c-free.*?$", patternFlags);
    std::wstring dir;
    switch (ideIndex)
    {
    case 0:
        dir = UpToLastBackslash(ReadUninstallValue(devcpp, L"UninstallString", hostIs64));
        break;
    case 1:
        dir = FirstCodeBlocksPath();
        break;
    case 2:
        dir = ReadUninstallValue(clion, L"InstallLocation", hostIs64);
        if (!dir.empty())
            dir = WithTrailingBackslash(dir) + L"bin";
        break;
    case 4:
        dir = UpToLastBackslash(ReadUninstallValue(cfree, L"InstallLocation", hostIs64));
        break;
    default:
        break;
    }
    return ExistingDirectory(dir);
}
