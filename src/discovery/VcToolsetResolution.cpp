// Visual C++ tool set resolution: turns a hand-chosen folder into a filled Visual C++ row (compiler found
// below it, its generation checked against the row's), and names the default MSVC tool set folder of Visual
// Studio 2017 and 2019, where earlier installs left copies.
#include "discovery/EnvironmentTable.h"

#include "discovery/FileVersion.h"
#include "discovery/FolderSearch.h"
#include "discovery/TextMatch.h"
#include "install/PathTrust.h"
#include "win32/TextConversion.h"

#include <windows.h>

#include <iterator>

namespace
{

const wchar_t* const editionFolders[] = {L"community\\vc\\", L"professional\\vc\\", L"enterprise\\vc\\"};

// Fills the row from a compiler's folder layout when the generation is the row's; -1 for another
// generation. A layout without its include or 32-bit library folder has nowhere to take the library: like
// the detection pass, which leaves such an installation undetected, it counts as not found (0), the row
// and entry untouched, and the search goes on. A missing 64-bit library folder (an Express edition) only
// drops that folder.
int AdoptLayout(VcToolsetRow& row, EnvListEntry& entry, int generation, const std::wstring& rootDir,
                const std::wstring& libX86, const std::wstring& libX64)
{
    if (generation != row.version)
        return -1;
    VcToolsetRow adopted = row;
    adopted.rootDir = rootDir;
    adopted.includeSubdir = L"include\\";
    adopted.libSubdirX86 = libX86;
    adopted.libSubdirX64 = libX64;
    ValidateVcRow(adopted);
    if (adopted.rootDir.empty())
        return 0;
    row = adopted;
    ShowVcRow(row, entry);
    return generation;
}

// The first line of a small text file (ASCII or UTF-8), without a byte-order mark, carriage return or blanks
// around it; empty when the file cannot be read or the install's walk refuses it.
std::wstring ReadFirstLine(const std::wstring& path)
{
    const TrustedFile file = OpenTrustedFile(path, GENERIC_READ);
    if (file.trust != FolderTrust::trusted)
        return {};
    char buffer[1024] = {};
    DWORD read = 0;
    if (!ReadFile(file.handle.get(), buffer, sizeof buffer, &read, nullptr))
        return {};
    std::string line(buffer, read);
    line = line.substr(0, line.find('\n'));
    if (line.compare(0, 3, "\xEF\xBB\xBF") == 0)
        line.erase(0, 3);
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return Utf8ToWide(line.substr(first, line.find_last_not_of(" \t\r") + 1 - first));
}

// A tool set folder's name: three groups of digits, "14.29.30133".
bool IsToolsetVersionName(const std::wstring& name)
{
    return DottedDigitGroups(name) == 3;
}

} // namespace

int EnvironmentTable::AdoptChosenVcDir(std::wstring folder, EnvListEntry& entry, bool walkUp)
{
    VcToolsetRow* row = VcRowOf(entry);
    if (row == nullptr)
        return 0;
    const std::wstring dir = WithTrailingBackslash(folder);
    const std::wstring vc = FindSubdirNamed(dir, L"VC");
    if (!vc.empty())
    {
        const int generation = GenerationOfExecutable(vc + L"bin\\cl.exe");
        const int result = generation != 0
                               ? AdoptLayout(*row, entry, generation, vc, L"lib\\", L"lib\\amd64\\")
                               : ResolveVsToolsDir(vc, entry);
        if (result != 0)
            return result;
    }
    else
    {
        const std::wstring vc98 = FindSubdirNamed(dir, L"VC98");
        const int generation = vc98.empty() ? 0 : GenerationOfExecutable(vc98 + L"bin\\cl.exe");
        int result = generation != 0 ? AdoptLayout(*row, entry, generation, vc98, L"lib\\", L"") : 0;
        for (auto edition = std::begin(editionFolders); result == 0 && edition != std::end(editionFolders);
             ++edition)
            result = ResolveVsToolsDir(dir + *edition, entry);
        if (result != 0)
            return result;
    }
    const std::wstring parent = walkUp ? NextFolderUp(folder) : std::wstring();
    return parent.empty() ? 0 : AdoptChosenVcDir(parent, entry, true);
}

int EnvironmentTable::ResolveVsToolsDir(const std::wstring& vcDir, EnvListEntry& entry)
{
    VcToolsetRow* row = VcRowOf(entry);
    if (row == nullptr)
        return 0;
    const std::wstring toolset = FindSubdirMatching(vcDir + L"Tools\\MSVC\\", IsToolsetVersionName);
    if (toolset.empty())
        return 0;
    const int generation = GenerationOfExecutable(toolset + L"bin\\Hostx86\\x86\\cl.exe");
    if (generation == 0)
        return 0;
    return AdoptLayout(*row, entry, generation, vcDir + L"Auxiliary\\VS\\", L"lib\\x86\\", L"lib\\x64\\");
}

bool HasStaleToolsetCopies(int version)
{
    return version == 2017 || version == 2019;
}

std::wstring DefaultToolsetDir(const VcToolsetRow& row)
{
    if (!HasStaleToolsetCopies(row.version))
        return {};
    const std::wstring suffix = L"\\Auxiliary\\VS\\";
    if (row.rootDir.size() <= suffix.size() - 1 ||
        row.rootDir.compare(row.rootDir.size() - suffix.size(), suffix.size(), suffix) != 0)
        return {};
    // The "VC" folder, ending with a backslash.
    const std::wstring base = row.rootDir.substr(0, row.rootDir.size() - (suffix.size() - 1));
    const std::wstring version =
        ReadFirstLine(base + L"Auxiliary\\Build\\Microsoft.VCToolsVersion.default.txt");
    // The line becomes a path component: anything but digits and dots (a "..\\" above all) names no tool set.
    if (DottedDigitGroups(version) == 0)
        return {};
    return base + L"Tools\\MSVC\\" + version + L"\\";
}
