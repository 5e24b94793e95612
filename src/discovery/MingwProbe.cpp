#include "discovery/MingwProbe.h"

#include "discovery/CommandRunner.h"
#include "discovery/EnvironmentTable.h"
#include "discovery/FileVersion.h"
#include "discovery/FolderSearch.h"
#include "discovery/RegistryReader.h"
#include "discovery/TextMatch.h"
#include "install/PathTrust.h"
#include "win32/TextConversion.h"

#include <cwctype>
#include <iterator>
#include <utility>

namespace
{

bool Contains(const std::wstring& text, const wchar_t* part)
{
    return text.find(part) != std::wstring::npos;
}

void ClearWhenMissing(const std::wstring& baseDir, std::wstring& subdir)
{
    if (!subdir.empty() && !IsExistingDirectory(baseDir + subdir))
        subdir.clear();
}

// "Thread model", any one character but a line end, blanks (line ends included), then `model`: what the
// pattern "Thread model.\s*?<model>" finds, by one pass over the report.
bool NamesThreadModel(const std::wstring& report, const wchar_t* model)
{
    const wchar_t label[] = L"Thread model";
    for (size_t at = FindIgnoringCase(report, label); at != std::wstring::npos;
         at = FindIgnoringCase(report, label, at + 1))
    {
        size_t next = at + std::size(label) - 1;
        if (next >= report.size() || IsLineTerminator(report[next]))
            continue;
        ++next;
        while (next < report.size() && std::iswspace(report[next]))
            ++next;
        if (MatchesIgnoringCaseAt(report, next, model))
            return true;
    }
    return false;
}

} // namespace

bool IsMingwFolderName(const std::wstring& name)
{
    return MatchesLinePattern(name, {L"", L"mingw", L""});
}

bool IsDevcppExecutableName(const std::wstring& name)
{
    return MatchesLinePattern(name, {L"", L"devcpp", L".exe"});
}

std::wstring DetectExceptionModel(const std::wstring& binDir, const std::wstring& report)
{
    struct Rule
    {
        const wchar_t* runtimeDllPrefix; // the DLL is named <prefix>...-1.dll
        const wchar_t* reportWord;
        const wchar_t* model;
    };
    static const Rule rules[] = {
        {L"libgcc_s_seh", L"seh", L"_seh"},
        {L"libgcc_s_sjlj", L"sjlj", L"_sjlj"},
        {L"libgcc_s_dw2", L"dwarf", L"_dwarf"},
    };
    // One listing of the folder: the earliest rule any runtime DLL satisfies wins, whatever the order of the
    // names; the listing stops once the first rule is satisfied.
    const Rule* found = nullptr;
    FindFirstMatch(binDir,
                   [&](const std::wstring& name)
                   {
                       for (const Rule* rule = rules; rule != found && rule != std::end(rules); ++rule)
                       {
                           if (MatchesLinePattern(name, {rule->runtimeDllPrefix, L"", L"-1.dll"}))
                           {
                               found = rule;
                               break;
                           }
                       }
                       return found == rules;
                   });
    if (found != nullptr)
        return found->model;
    // Without a runtime DLL the report decides, sjlj before seh.
    for (const Rule* rule : {&rules[1], &rules[0], &rules[2]})
    {
        if (ContainsIgnoringCase(report, rule->reportWord))
            return rule->model;
    }
    return L"unkonw-ex";
}

std::wstring DetectThreadModel(const std::wstring& report)
{
    return NamesThreadModel(report, L"posix") || NamesThreadModel(report, L"win32") ? L"_posix" : L"_mcf";
}

std::wstring DetectCrt(const std::wstring& report)
{
    return ContainsIgnoringCase(report, L"ucrt") ? L"_ucrt" : L"_msvcrt";
}

void CheckLibraryDirs(const std::wstring& baseDir, MingwToolchainRow& row)
{
    ClearWhenMissing(baseDir, row.includeSubdir);
    ClearWhenMissing(baseDir, row.libSubdir64);
    ClearWhenMissing(baseDir, row.libSubdir32);
    if (!row.libSubdir32.empty() && !row.libSubdir64.empty())
        row.hasBothLibDirs = true;
}

int EnvironmentTable::ProbeMingwEnvironment(std::wstring directory, int ideIndex, EnvListEntry* entry,
                                            bool hostIs64)
{
    MingwToolchainRow* row = MingwRowAt(ideIndex);
    if (row == nullptr)
        return 0;
    if (directory.empty())
    {
        const int result =
            ProbeToolchain(FindIdeDir(ideIndex, PassUninstallEntries(hostIs64)), ideIndex, entry, false);
        if (result == 0 && entry == nullptr)
            undetectedList.push_back(NewRowEntry(ideIndex, row->displayName, true, false));
        return result;
    }
    bool devcppVariant = ideIndex == cfreeIde;
    if (ideIndex == devcppIde || ideIndex == otherMingwIde)
    {
        const std::wstring executable = FindFirstMatch(directory, IsDevcppExecutableName);
        if (!executable.empty())
        {
            const int version = GenerationOfExecutable(executable);
            if (version == 0)
                return 0;
            devcppVariant = version / 100 == 5 && version % 100 == 4;
        }
    }
    const int result = ProbeToolchain(directory, ideIndex, entry, devcppVariant);
    if (result != 0)
        return result;
    const std::wstring parent = NextFolderUp(directory);
    return parent.empty() ? 0 : ProbeMingwEnvironment(parent, ideIndex, entry, hostIs64);
}

int EnvironmentTable::ProbeToolchain(std::wstring directory, int ideIndex, EnvListEntry* entry,
                                     bool devcppVariant)
{
    MingwToolchainRow* row = MingwRowAt(ideIndex);
    if (directory.empty() || row == nullptr)
        return 0;
    directory = WithTrailingBackslash(std::move(directory));

    std::wstring mingwDir = FindSubdirMatching(directory, IsMingwFolderName);
    // Some IDEs keep the tool chain inside their own "bin" folder.
    if (mingwDir.empty())
    {
        const std::wstring binDir = FindSubdirNamed(directory, L"bin");
        if (!binDir.empty())
            mingwDir = FindSubdirMatching(binDir, IsMingwFolderName);
    }
    if (mingwDir.empty())
        return 0;

    std::wstring x64Dir, x86Dir, oldDir;
    if (Contains(mingwDir, L"x86_64-w64-mingw32"))
        x64Dir = std::exchange(mingwDir, directory);
    else if (Contains(mingwDir, L"i686-w64-mingw32"))
        x86Dir = std::exchange(mingwDir, directory);
    else if (Contains(mingwDir, L"mingw32"))
        oldDir = std::exchange(mingwDir, directory);
    else
    {
        x64Dir = FindSubdirNamed(mingwDir, L"x86_64-w64-mingw32");
        x86Dir = FindSubdirNamed(mingwDir, L"i686-w64-mingw32");
        oldDir = FindSubdirNamed(mingwDir, L"mingw32");
    }

    if (x64Dir.empty() && x86Dir.empty() && oldDir.empty())
        return 0;
    // Every probe that finds a tool chain starts from the row's initial state: nothing of an earlier folder
    // choice (an emptied include folder, both library folders) carries over.
    ResetProbedState(*row);
    int bits = 32;
    std::wstring base;
    if (!x64Dir.empty())
    {
        bits = 64;
        row->libSubdir64 = L"lib\\";
        // Code::Blocks takes only the 64-bit libraries into a 64-bit tool chain.
        if (ideIndex != codeBlocksIde)
            row->libSubdir32 = L"lib32\\";
        base = x64Dir;
    }
    else if (!x86Dir.empty())
    {
        row->libSubdir64 = L"lib64\\";
        row->libSubdir32 = L"lib\\";
        base = x86Dir;
    }
    else
    {
        row->devcpp54Libs = devcppVariant;
        base = FindSubdirNamed(oldDir, L"include").empty() ? mingwDir : oldDir;
        row->libSubdir32 = L"lib\\";
    }
    CheckLibraryDirs(base, *row);
    row->rootDir = base;

    if (entry == nullptr)
    {
        entry = NewRowEntry(ideIndex, row->displayName, true, true);
        detectedList.push_back(entry);
    }
    entry->infoLine1 = PathLine(L"头文件路径", base, {row->includeSubdir});
    // A plain mingw32 tool chain always names its 32-bit folder (the base itself when lib\ is missing).
    const bool plainMingw32 = x64Dir.empty() && x86Dir.empty();
    std::vector<std::wstring> libraryDirs;
    if (plainMingw32 || !row->libSubdir32.empty())
        libraryDirs.push_back(row->libSubdir32);
    if (!row->libSubdir64.empty())
        libraryDirs.push_back(row->libSubdir64);
    entry->infoLine2 = PathLine(L"库文件路径", base, libraryDirs);

    // gcc.exe itself: no other extension is tried, nothing but the file named is run. It is reached through
    // the install's walk and held with its folders while it starts, so the name runs the file checked; a gcc
    // the walk refuses is not run at all. One that anyone but the administrators or the wizard's user could
    // have placed runs in the sandbox.
    const TrustedFile gccFile = OpenTrustedFile(mingwDir + L"bin\\gcc.exe", 0);
    const CommandResult gcc =
        gccFile.trust == FolderTrust::trusted
            ? RunCommand(gccFile.path, {L"-v"}, ConfinementFor(gccFile.path), commandTimeoutMs)
            : CommandResult();
    // A gcc that could not be started (or sandboxed) wrote nothing; what one wrote before it was ended still
    // counts.
    const std::wstring report = gcc.started ? Utf8ToWide(gcc.output) : std::wstring();
    return CheckSupport(*entry, bits, DetectExceptionModel(mingwDir + L"bin\\", report), DetectCrt(report),
                        DetectThreadModel(report));
}

int EnvironmentTable::CheckSupport(EnvListEntry& entry, int bits, const std::wstring& exceptionModel,
                                   const std::wstring& crt, const std::wstring& threadModel)
{
    if (EqualIgnoringCase(crt, L"_ucrt"))
    {
        entry.statusText = L"（不支持的 mignw64_xxx_ucrt 版本）";
        entry.detected = false;
        return -1;
    }
    const MingwToolchainRow* row = MingwRowAt(entry.rowIndex);
    const bool hasBothLibDirs = row != nullptr && row->hasBothLibDirs;
    if (EqualIgnoringCase(exceptionModel, L"_seh") && (bits == 64 || hasBothLibDirs))
        return 1;
    if ((EqualIgnoringCase(exceptionModel, L"_sjlj") || EqualIgnoringCase(exceptionModel, L"_dwarf")) &&
        (bits == 32 || hasBothLibDirs))
        return 1;
    entry.statusText =
        L"不支持的 " + std::wstring(bits == 64 ? L"x86_64" : L"i686") + threadModel + exceptionModel + crt;
    entry.detected = false;
    return -1;
}
