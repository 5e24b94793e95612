// The detection figures: the pass over an Uninstall key crowded with other programs' subkeys, today (one walk
// per pass) and on the path it replaced (each of the seven display-name lookups walking the key again,
// opening, reading and closing every subkey), both against one bare walk of the key; and the pass on a
// machine with four MinGW tool chains (Dev-C++, CLion, Code::Blocks, C-Free), each probe running a stand-in
// gcc that prints a real report, with the exception-model search of a tool chain's "bin" folder before and
// after it listed the folder once. Everything runs on the tests' scratch registry and scratch folders.
#include "DetectionBench.h"

#include "discovery/CommandRunner.h"
#include "discovery/EnvironmentTable.h"
#include "discovery/FakeInstallations.h"
#include "discovery/FolderSearch.h"
#include "discovery/MingwProbe.h"
#include "discovery/RegistryReader.h"
#include "discovery/TextMatch.h"
#include "win32/UniqueHandles.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>

namespace
{

using DisplayNameTest = std::function<bool(const std::wstring&)>;

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Milliseconds one call of operation takes.
double Milliseconds(const std::function<void()>& operation)
{
    const auto start = std::chrono::steady_clock::now();
    operation();
    return SecondsSince(start) * 1000.0;
}

// The Uninstall key the pass reads under the scratch registry: the host width is read there too.
std::wstring UninstallKey()
{
    return HostIs64() ? L"Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
                      : L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
}

// Other programs' subkeys, none of them a Visual Studio or MinGW IDE.
void FillUninstall(const std::wstring& uninstall, int subkeys)
{
    for (int i = 0; i < subkeys; ++i)
    {
        wchar_t name[40];
        swprintf(name, 40, L"{%08d-0000-0000-0000-000000000000}", i);
        TestSupport::SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"\\" + name, L"DisplayName",
                                  L"Some Application " + std::to_wstring(i));
    }
}

// One lookup as it was before the pass shared one walk: the whole key listed, each subkey opened, its
// DisplayName read and the subkey closed, until one passes the test; then that subkey's value.
std::wstring LookupByWalkOfItsOwn(const std::wstring& uninstall, const DisplayNameTest& test,
                                  const wchar_t* valueName)
{
    for (const std::wstring& name : EnumSubkeys(HKEY_LOCAL_MACHINE, uninstall.c_str()))
    {
        const std::wstring path = uninstall + L"\\" + name;
        const std::wstring displayName = ReadRegistryString(HKEY_LOCAL_MACHINE, path.c_str(), L"DisplayName");
        if (!displayName.empty() && test(displayName))
            return ReadRegistryString(HKEY_LOCAL_MACHINE, path.c_str(), valueName);
    }
    return {};
}

DisplayNameTest Holds(const wchar_t* part)
{
    return [part](const std::wstring& name) { return MatchesLinePattern(name, {L"", part, L""}); };
}

// The replaced pass where no lookup finds anything: the seven walks of the display-name lookups (today's
// name tests), then the rest of the pass, the lookups that never read the Uninstall key. Building the rows
// and list entries (microseconds) is left out.
void PassBefore(const std::wstring& uninstall)
{
    for (int year : {2017, 2019, 2022, 2026})
        LookupByWalkOfItsOwn(
            uninstall, [year](const std::wstring& name) { return IsVisualStudioName(name, year); },
            L"InstallLocation");
    LookupByWalkOfItsOwn(uninstall, Holds(L"dev-c"), L"UninstallString");
    LookupByWalkOfItsOwn(uninstall, Holds(L"clion"), L"InstallLocation");
    LookupByWalkOfItsOwn(uninstall, Holds(L"c-free"), L"InstallLocation");
    const bool hostIs64 = HostIs64();
    UninstallEntries untouched(hostIs64);
    for (int version : {6, 2008, 2010, 2012, 2013, 2015})
        FindVcRootDir(version, hostIs64, untouched);
    FindIdeDir(codeBlocksIde, untouched);
}

void PassAfter()
{
    EnvironmentTable table;
    table.RunDetectionPass(L"在线文档", L"桌面路径");
}

// The least a pass must do with the key: list the subkeys and read each DisplayName with RegGetValueW.
void BareWalk(const std::wstring& uninstall)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstall.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return;
    const UniqueRegKey key(opened);
    wchar_t name[256];
    DWORD nameChars = 256;
    for (DWORD index = 0; RegEnumKeyExW(key.get(), index, name, &nameChars, nullptr, nullptr, nullptr,
                                        nullptr) == ERROR_SUCCESS;
         ++index, nameChars = 256)
    {
        wchar_t displayName[1024];
        DWORD bytes = sizeof displayName;
        RegGetValueW(key.get(), name, L"DisplayName", RRF_RT_REG_SZ, nullptr, displayName, &bytes);
    }
}

// How many display names the pass's one walk reads: a pass that read another key than the one filled would
// make every figure of the crowded key meaningless.
int DisplayNamesThePassSees()
{
    int seen = 0;
    UninstallEntries entries(HostIs64());
    entries.FirstMatchValue(
        [&](const std::wstring&)
        {
            ++seen;
            return false;
        },
        L"InstallLocation");
    return seen;
}

// The Visual Studio name test as it was: the texts of each edition built for every display name tested.
bool IsVisualStudioNameBefore(const std::wstring& displayName, int year)
{
    const std::wstring product = L"Visual Studio ";
    const std::wstring yearText = L" " + std::to_wstring(year);
    for (const wchar_t* edition : {L"Community", L"Professional", L"Enterprise"})
    {
        const std::wstring name = product + edition + yearText;
        if (!StartsWithIgnoringCase(displayName, name.c_str()))
            continue;
        const std::wstring suffix = displayName.substr(name.size());
        if (suffix.empty())
            return true;
        const std::wstring open = year == 2017 ? L"(" : L" (";
        return suffix.size() > open.size() + 1 && suffix.compare(0, open.size(), open) == 0 &&
               suffix.back() == L')' && suffix.find(L')', open.size()) == suffix.size() - 1;
    }
    return false;
}

// What the four Visual Studio lookups of a pass ask of 1000 display names, most of them other programs'.
void BenchVisualStudioNames(RecordFigure record)
{
    std::vector<std::wstring> names;
    for (int i = 0; i < 1000; ++i)
        names.push_back(i % 100 == 0 ? L"Visual Studio Community 2022 (" + std::to_wstring(i) + L")"
                                     : L"Some Application " + std::to_wstring(i));
    const auto testAll = [&](bool (*test)(const std::wstring&, int))
    {
        int matches = 0;
        for (int year : {2017, 2019, 2022, 2026})
            for (const std::wstring& name : names)
                matches += test(name, year) ? 1 : 0;
        return matches;
    };
    if (testAll(IsVisualStudioNameBefore) != testAll(IsVisualStudioName))
        std::printf("MISMATCH: Visual Studio name tests before and after\n");
    std::vector<double> before, after;
    for (int i = 0; i < 30; ++i)
    {
        // Into a volatile, so that no test is left out for its unused result.
        volatile int matches = 0;
        before.push_back(Milliseconds([&] { matches = testAll(IsVisualStudioNameBefore); }));
        after.push_back(Milliseconds([&] { matches = testAll(IsVisualStudioName); }));
    }
    record("Visual Studio name tests of a pass, 1000 names, before (texts built)", "ms", before);
    record("Visual Studio name tests of a pass, 1000 names, after (read in place)", "ms", after);
}

// Before, after and the bare walk within each repetition, their order turned by one each time, so that
// neither a busy moment of the shared machine nor what ran just before weighs on one of them alone; the
// ratio is taken within each repetition.
void BenchCrowdedUninstall(RecordFigure record, int subkeys, int repetitions)
{
    TestSupport::ScratchRegistry registry;
    const std::wstring uninstall = UninstallKey();
    FillUninstall(uninstall, subkeys);
    if (DisplayNamesThePassSees() != subkeys)
        std::printf("MISMATCH: the pass sees %d display names, %d were written\n", DisplayNamesThePassSees(),
                    subkeys);
    std::vector<double> before, after, bare, ratio;
    const std::function<void()> steps[] = {
        [&] { before.push_back(Milliseconds([&] { PassBefore(uninstall); })); },
        [&] { after.push_back(Milliseconds(PassAfter)); },
        [&] { bare.push_back(Milliseconds([&] { BareWalk(uninstall); })); }};
    for (int i = 0; i < repetitions; ++i)
    {
        for (int step = 0; step < 3; ++step)
            steps[(i + step) % 3]();
        ratio.push_back(after.back() / bare.back());
    }
    const std::string n = std::to_string(subkeys);
    record("detection pass, " + n + " subkeys, before (seven walks)", "ms", before);
    record("detection pass, " + n + " subkeys, after (one walk)", "ms", after);
    record("one bare walk, " + n + " subkeys (list, RegGetValueW DisplayName)", "ms", bare);
    record("detection pass after / bare walk, " + n + " subkeys", "x", ratio);
}

// A machine with four MinGW tool chains laid out as their IDEs install them, each with a stand-in gcc.
class FourToolchains
{
public:
    FourToolchains()
    {
        using namespace FakeInstallations;
        const std::wstring uninstall = UninstallKey() + L"\\";

        const std::wstring devcpp = folder / L"Dev-Cpp\\MinGW64\\";
        InstallStandInGcc(devcpp + L"bin\\", L"x86_64-posix-seh-msvcrt-gcc8.1.0.txt");
        MakeFiles(devcpp, {L"bin\\libgcc_s_seh-1.dll"});
        MakeFolders(devcpp, {L"x86_64-w64-mingw32\\include", L"x86_64-w64-mingw32\\lib",
                             L"x86_64-w64-mingw32\\lib32"});
        SetRegString(uninstall + L"Dev-C++", L"DisplayName", L"Dev-C++");
        SetRegString(uninstall + L"Dev-C++", L"UninstallString", folder / L"Dev-Cpp\\uninstall.exe");

        const std::wstring clion = folder / L"CLion\\bin\\mingw\\";
        InstallStandInGcc(clion + L"bin\\", L"mingwbuilds-x86_64-mcf-seh-gcc15.1.0-ELIDED.txt");
        MakeFiles(clion, {L"bin\\libgcc_s_seh-1.dll"});
        MakeFolders(clion, {L"x86_64-w64-mingw32\\include", L"x86_64-w64-mingw32\\lib"});
        SetRegString(uninstall + L"CLion", L"DisplayName", L"CLion 2024.3");
        SetRegString(uninstall + L"CLion", L"InstallLocation", folder / L"CLion");

        MakePlainMingw32(folder / L"CodeBlocks\\MinGW\\",
                         L"codeblocks16.01-tdm-mingw32-posix-sjlj-gcc4.9.2.txt", L"libgcc_s_sjlj-1.dll");
        TestSupport::SetRegString(HKEY_USERS, L"S-1-5-21-1001\\SoftWare\\CodeBlocks", L"Path",
                                  folder / L"CodeBlocks");

        MakePlainMingw32(folder / L"C-Free 5\\mingw\\", L"mingw32-win32-dwarf-mingw.org-gcc6.3.0.txt",
                         L"libgcc_s_dw2-1.dll");
        SetRegString(uninstall + L"C-Free_is1", L"DisplayName", L"C-Free 5.0 Pro");
        SetRegString(uninstall + L"C-Free_is1", L"InstallLocation", folder / L"C-Free 5\\");
    }

    // The MinGW rows the pass detected; all four on this machine.
    static int DetectedMingwRows(const EnvironmentTable& table)
    {
        int detected = 0;
        for (const EnvListEntry* entry : table.detectedList)
            detected += entry->isMingw && entry->detected ? 1 : 0;
        return detected;
    }

    const std::wstring& Folder() const { return folder.Path(); }

private:
    static void SetRegString(const std::wstring& path, const std::wstring& name, const std::wstring& value)
    {
        TestSupport::SetRegString(HKEY_LOCAL_MACHINE, path, name, value);
    }

    // A MinGW.org-style tool chain: bin\ with gcc and the runtime DLL, include\, lib\, mingw32\bin and lib.
    static void MakePlainMingw32(const std::wstring& root, const wchar_t* report, const wchar_t* runtimeDll)
    {
        FakeInstallations::InstallStandInGcc(root + L"bin\\", report);
        TestSupport::WriteTextFile(root + L"bin\\" + runtimeDll, "");
        FakeInstallations::MakeFolders(root, {L"include", L"lib", L"mingw32\\bin", L"mingw32\\lib"});
    }

    TestSupport::ScratchRegistry registry;
    TestSupport::ScratchFolder folder{L"four tool chains"};
};

// The exception-model search as it was: the runtime DLL rules tried in turn, each listing the folder again.
std::wstring ExceptionModelBefore(const std::wstring& binDir, const std::wstring& report)
{
    const std::pair<const wchar_t*, const wchar_t*> rules[] = {
        {L"libgcc_s_seh", L"_seh"}, {L"libgcc_s_sjlj", L"_sjlj"}, {L"libgcc_s_dw2", L"_dwarf"}};
    for (const auto& rule : rules)
    {
        const LinePattern runtimeDll{rule.first, L"", L"-1.dll"};
        if (!FindFirstMatch(binDir,
                            [&](const std::wstring& name) { return MatchesLinePattern(name, runtimeDll); })
                 .empty())
            return rule.second;
    }
    return DetectExceptionModel(binDir, report);
}

void BenchFourToolchains(RecordFigure record)
{
    FourToolchains machine;
    {
        EnvironmentTable table;
        table.RunDetectionPass(L"在线文档", L"桌面路径");
        if (FourToolchains::DetectedMingwRows(table) != 4)
            std::printf("MISMATCH: %d MinGW tool chains detected of four\n",
                        FourToolchains::DetectedMingwRows(table));
    }
    std::vector<double> passes;
    for (int i = 0; i < 15; ++i)
        passes.push_back(Milliseconds(PassAfter));
    record("detection pass, four MinGW tool chains (four gcc runs)", "ms", passes);

    const std::wstring gcc = machine.Folder() + L"Dev-Cpp\\MinGW64\\bin\\gcc.exe";
    std::vector<double> runs;
    for (int i = 0; i < 15; ++i)
        runs.push_back(
            Milliseconds([&] { RunCommand(gcc, {L"-v"}, ConfinementFor(gcc), defaultCommandTimeoutMs); }));
    record("one stand-in gcc -v run (RunCommand)", "ms", runs);

    // A bin folder as big as a MinGW-w64 release's (about 80 files), with the 32-bit DWARF runtime DLL:
    // the last rule, so the search before listed the folder three times.
    const std::wstring binDir = machine.Folder() + L"C-Free 5\\mingw\\bin\\";
    for (int i = 0; i < 80; ++i)
        TestSupport::WriteTextFile(binDir + L"tool-" + std::to_wstring(i) + L".exe", "");
    if (ExceptionModelBefore(binDir, L"") != DetectExceptionModel(binDir, L""))
        std::printf("MISMATCH: exception model before and after\n");
    std::vector<double> searchBefore, searchAfter;
    for (int i = 0; i < 200; ++i)
    {
        searchBefore.push_back(Milliseconds([&] { ExceptionModelBefore(binDir, L""); }) * 1000.0);
        searchAfter.push_back(Milliseconds([&] { DetectExceptionModel(binDir, L""); }) * 1000.0);
    }
    record("exception model of an 80-file bin folder, before (listed per rule)", "us", searchBefore);
    record("exception model of an 80-file bin folder, after (listed once)", "us", searchAfter);

    // The search for the tool chain's folder in an IDE folder of 40 entries where it stands: before, the IDE
    // folder was listed once more for a "bin" folder the probe then did not need.
    const std::wstring ideDir = machine.Folder() + L"Dev-Cpp\\";
    for (int i = 0; i < 40; ++i)
        TestSupport::WriteTextFile(ideDir + L"file-" + std::to_wstring(i) + L".txt", "");
    std::vector<double> folderBefore, folderAfter;
    for (int i = 0; i < 200; ++i)
    {
        folderBefore.push_back(Milliseconds(
                                   [&]
                                   {
                                       FindSubdirMatching(ideDir, IsMingwFolderName);
                                       FindSubdirNamed(ideDir, L"bin");
                                   }) *
                               1000.0);
        folderAfter.push_back(Milliseconds([&] { FindSubdirMatching(ideDir, IsMingwFolderName); }) * 1000.0);
    }
    record("tool chain folder in a 40-entry IDE folder, before (bin listed too)", "us", folderBefore);
    record("tool chain folder in a 40-entry IDE folder, after", "us", folderAfter);
}

} // namespace

void BenchDetection(RecordFigure record)
{
    {
        TestSupport::ScratchRegistry registry;
        std::vector<double> passes;
        for (int i = 0; i < 30; ++i)
            passes.push_back(Milliseconds(PassAfter));
        record("detection pass, empty Uninstall key", "ms", passes);
    }
    BenchVisualStudioNames(record);
    BenchCrowdedUninstall(record, 1000, 30);
    BenchCrowdedUninstall(record, 5000, 10);
    BenchFourToolchains(record);
}
