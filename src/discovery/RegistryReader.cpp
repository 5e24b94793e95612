#include "discovery/RegistryReader.h"

#include "discovery/EnvironmentTable.h"
#include "discovery/FolderSearch.h"
#include "discovery/TextMatch.h"
#include "win32/UniqueHandles.h"

#include <windows.h>

#include <cwchar>
#include <iterator>

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

using ValueBuffer = wchar_t[registryValueBufferBytes / sizeof(wchar_t)];

UniqueRegKey OpenForReading(HKEY hive, const wchar_t* subkeyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(hive, subkeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(key);
}

// The text of a value read into the buffer, never beyond the bytes written: a value that fills all 2048
// bytes has no terminating zero and yields its 1024 characters.
std::wstring BufferText(const ValueBuffer& buffer, DWORD bytes)
{
    const size_t chars = bytes / sizeof(wchar_t);
    size_t length = 0;
    while (length < chars && buffer[length] != L'\0')
        ++length;
    return std::wstring(buffer, length);
}

// Only text values name folders and programs: numbers, binary data and lists are no text, and an
// expandable string is taken as it stands, since expanding it would read variables of the wizard's own
// environment in place of the user's.
bool IsTextType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// One text value of an open key; false when it cannot be read or is not text.
bool ReadValueText(HKEY key, const wchar_t* valueName, std::wstring& text)
{
    ValueBuffer buffer = {};
    DWORD bytes = sizeof buffer;
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
            ERROR_SUCCESS ||
        !IsTextType(type))
        return false;
    text = BufferText(buffer, bytes);
    return true;
}

// Calls `visit` with the name of each direct subkey of an open key, in enumeration order; names that cannot
// be read (longer than 254 characters) are left out.
template <typename Visit> void ForEachSubkeyName(HKEY key, Visit visit)
{
    DWORD count = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0; index < count; ++index)
    {
        wchar_t name[subkeyNameChars] = {};
        DWORD length = subkeyNameChars;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            visit(std::wstring(name, length));
    }
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

// Each user writes only his own hive: a hive whose value cannot be read (missing, too long, not text) is
// passed over, so that no user can hide another user's value.
std::wstring ReadCurrentUserString(const wchar_t* subkeyPath, const wchar_t* valueName)
{
    std::wstring lastRead;
    for (const std::wstring& name : EnumSubkeys(HKEY_USERS, nullptr))
    {
        if (!IsUserHiveName(name))
            continue;
        const std::wstring path = name + L"\\" + (subkeyPath != nullptr ? subkeyPath : L"");
        UniqueRegKey key = OpenForReading(HKEY_USERS, path.c_str());
        std::wstring text;
        if (key && ReadValueText(key.get(), valueName, text))
            lastRead = std::move(text);
    }
    return lastRead;
}

const wchar_t* UninstallKey(bool hostIs64)
{
    return hostIs64 ? uninstallKey64 : uninstallKey32;
}

bool IsVisualStudioYear(int version)
{
    return version == 2017 || version == 2019 || version == 2022 || version == 2026;
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

std::wstring UpToLastBackslash(const std::wstring& text)
{
    const size_t last = text.rfind(L'\\');
    return last == std::wstring::npos ? std::wstring() : text.substr(0, last + 1);
}

// The common end of both lookups, where every path read from the registry enters discovery: an existing
// local directory, ending with a backslash, or empty. A network or device path is not even looked at.
std::wstring ExistingDirectory(const std::wstring& path)
{
    if (path.empty() || IsNetworkOrDevicePath(path) || !IsExistingDirectory(path))
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

// "Library Dirs" of Visual C++ 6.0, a list of folders separated by semicolons: the first item
// "<x>\VC98\MFC\Lib" (ignoring case, <x> not empty) names the VC98 folder <x>\VC98\. Without such an item the
// list is returned.
std::wstring Vc6RootFromLibraryDirs(const std::wstring& libraryDirs)
{
    const wchar_t mfcLib[] = L"\\vc98\\mfc\\lib";
    const size_t mfcLibLength = std::size(mfcLib) - 1;
    for (size_t start = 0; start <= libraryDirs.size();)
    {
        size_t end = libraryDirs.find(L';', start);
        if (end == std::wstring::npos)
            end = libraryDirs.size();
        const std::wstring item = libraryDirs.substr(start, end - start);
        if (item.size() > mfcLibLength && EndsWithIgnoringCase(item, mfcLib))
            return item.substr(0, item.size() - mfcLibLength + 1) + L"VC98\\";
        start = end + 1;
    }
    return libraryDirs;
}

std::vector<std::wstring> EnumSubkeys(HKEY hive, const wchar_t* subkeyPath)
{
    std::vector<std::wstring> names;
    UniqueRegKey key = OpenForReading(hive, subkeyPath);
    if (key)
        ForEachSubkeyName(key.get(), [&](std::wstring name) { names.push_back(std::move(name)); });
    return names;
}

UninstallEntries::UninstallEntries(bool hostIs64) : hostIs64_(hostIs64) {}

std::wstring
UninstallEntries::FirstMatchValue(const std::function<bool(const std::wstring&)>& displayNameTest,
                                  const wchar_t* valueName)
{
    const std::wstring uninstall = UninstallKey(hostIs64_);
    if (!walked_)
    {
        walked_ = true;
        UniqueRegKey key = OpenForReading(HKEY_LOCAL_MACHINE, uninstall.c_str());
        if (key)
            ForEachSubkeyName(key.get(),
                              [&](std::wstring name)
                              {
                                  // One call per subkey: RegGetValueW opens, reads and closes it.
                                  ValueBuffer buffer = {};
                                  DWORD bytes = sizeof buffer;
                                  if (RegGetValueW(key.get(), name.c_str(), L"DisplayName",
                                                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                                                   nullptr, buffer, &bytes) == ERROR_SUCCESS)
                                      subkeys_.push_back({std::move(name), BufferText(buffer, bytes)});
                              });
    }
    for (const Subkey& subkey : subkeys_)
    {
        if (!subkey.displayName.empty() && displayNameTest(subkey.displayName))
            return ReadRegistryString(HKEY_LOCAL_MACHINE, (uninstall + L"\\" + subkey.name).c_str(),
                                      valueName);
    }
    return {};
}

bool IsVisualStudioName(const std::wstring& displayName, int year)
{
    // Called for every display name of the Uninstall key four times a pass: it reads the name in place and
    // builds no text.
    const wchar_t product[] = L"Visual Studio ";
    if (!StartsWithIgnoringCase(displayName, product))
        return false;
    wchar_t yearText[16];
    swprintf(yearText, std::size(yearText), L" %d", year);
    for (const wchar_t* edition : {L"Community", L"Professional", L"Enterprise"})
    {
        const size_t editionAt = std::size(product) - 1;
        const size_t yearAt = editionAt + std::wcslen(edition);
        if (!MatchesIgnoringCaseAt(displayName, editionAt, edition) ||
            !MatchesIgnoringCaseAt(displayName, yearAt, yearText))
            continue;
        const size_t suffixAt = yearAt + std::wcslen(yearText);
        if (suffixAt == displayName.size())
            return true;
        // The suffix: "(...)" for 2017, " (...)" for the others, with no ")" inside.
        const wchar_t* open = year == 2017 ? L"(" : L" (";
        const size_t openLength = std::wcslen(open);
        return displayName.size() - suffixAt > openLength + 1 &&
               displayName.compare(suffixAt, openLength, open) == 0 && displayName.back() == L')' &&
               displayName.find(L')', suffixAt + openLength) == displayName.size() - 1;
    }
    return false;
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

std::wstring FindVcRootDir(int version, bool hostIs64, UninstallEntries& uninstall)
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
    else if (IsVisualStudioYear(version))
    {
        dir = uninstall.FirstMatchValue(
            [&](const std::wstring& name) { return IsVisualStudioName(name, version); }, L"InstallLocation");
        if (!dir.empty())
            dir += dir.back() == L'\\' ? L"VC\\Auxiliary\\VS\\" : L"\\VC\\Auxiliary\\VS\\";
    }
    return ExistingDirectory(dir);
}

std::wstring FindIdeDir(int ideIndex, UninstallEntries& uninstall)
{
    // Display names holding the IDE's name on one line, ignoring case.
    const auto holds = [](const wchar_t* part) {
        return [part](const std::wstring& name) { return MatchesLinePattern(name, {L"", part, L""}); };
    };
    std::wstring dir;
    switch (ideIndex)
    {
    case devcppIde:
        dir = UpToLastBackslash(uninstall.FirstMatchValue(holds(L"dev-c"), L"UninstallString"));
        break;
    case codeBlocksIde:
        dir = FirstCodeBlocksPath();
        break;
    case clionIde:
        dir = uninstall.FirstMatchValue(holds(L"clion"), L"InstallLocation");
        if (!dir.empty())
            dir = WithTrailingBackslash(dir) + L"bin";
        break;
    case cfreeIde:
        dir = UpToLastBackslash(uninstall.FirstMatchValue(holds(L"c-free"), L"InstallLocation"));
        break;
    default:
        break;
    }
    return ExistingDirectory(dir);
}
