#include "discovery/MingwProbe.h"

#include "discovery/CommandRunner.h"
#include "discovery/EnvironmentTable.h"
#include "discovery/FileVersion.h"
#include "discovery/FolderSearch.h"
#include "discovery/RegistryReader.h"

#include <windows.h>

#include <regex>
#include <utility>

namespace
{

const std::wregex::flag_type patternFlags = std::regex::ECMAScript | std::regex::icase;

const std::wregex& MingwFolderPattern()
{
    static const std::wregex pattern(L"^.*?mingw.*?$", patternFlags);
    return pattern;
}

std::wstring Utf8ToWide(const std::string& text)
{
    if (text.empty())
        return {};
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(chars, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], chars);
    return wide;
}

bool Contains(const std::wstring& text, const wchar_t* part)
{
    return text.find(part) != std::wstring::npos;
}

void ClearWhenMissing(const std::wstring& baseDir, std::wstring& subdir)
{
    if (!subdir.empty() && !PathExists(baseDir + subdir))
        subdir.clear();
}

} // namespace

std::wstring DetectExceptionModel(const std::wstring& binDir, const std::wstring& report)
{
    struct Rule
    {
        std::wregex runtimeDll;
        std::wregex reportWord;
        const wchar_t* model;
    };
    static const Rule rules[] = {
        {std::wregex(LR"(^libgcc_s_seh.*?-1\.dll$)", patternFlags), std::wregex(L"seh", patternFlags),
         L"_seh"},
        {std::wregex(LR"(^libgcc_s_sjlj.*?-1\.dll$)", patternFlags), std::wregex(L"sjlj", patternFlags),
         L"_sjlj"},
        {std::wregex(LR"(^libgcc_s_dw2.*?-1\.dll$)", patternFlags), std::wregex(L"dwarf", patternFlags),
         L"_dwarf"},
    };
    for (const Rule& rule : rules)
    {
        if (!FindFirstMatch(binDir, rule.runtimeDll).empty())
            return rule.model;
    }
    // Without a runtime DLL the report decides, sjlj before seh.
    for (const Rule* rule : {&rules[1], &rules[0], &rules[2]})
    {
        if (std::regex_search(report, rule->reportWord))
            return rule->model;
    }
    return L"unkonw-ex";
}

std::wstring DetectThreadModel(const std::wstring& report)
{
    static const std::wregex posixOrWin32(LR"(Thread model.\s*?(posix|win32))", patternFlags);
    return std::regex_search(report, posixOrWin32) ? L"_posix" : L"_mcf";
}

std::wstring DetectCrt(const std::wstring& report)
{
    static const std::wregex ucrt(L"ucrt", patternFlags);
    return std::regex_search(report, ucrt) ? L"_ucrt" : L"_msvcrt";
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
    static const std::wregex devcppExecutable(LR"(^.*?devcpp.*?\.exe$)", patternFlags);
    MingwToolchainRow* row = MingwRowAt(ideIndex);
    if (row == nullptr)
        return 0;
    if (directory.empty())
    {
        const int result = ProbeToolchain(FindIdeDir(ideIndex, hostIs64), ideIndex, entry, false);
        if (result == 0 && entry == nullptr)
            undetectedList.push_back(NewRowEntry(ideIndex, row->displayName, true, false));
        return result;
    }
    bool devcppVariant = ideIndex == cfreeIde;
    if (ideIndex == devcppIde || ideIndex == otherMingwIde)
    {
        const std::wstring executable = FindFirstMatch(directory, devcppExecutable);
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
    const std::wstring parent = ParentOrSelf(directory);
    if (EqualIgnoringCase(parent, RootPath(directory)))
        return 0;
    return ProbeMingwEnvironment(parent, ideIndex, entry, hostIs64);
}

int EnvironmentTable::ProbeToolchain(std::wstring directory, int ideIndex, EnvListEntry* entry,
                                     bool devcppVariant)
{
    MingwToolchainRow* row = MingwRowAt(ideIndex);
    if (directory.empty() || row == nullptr)
        return 0;
    directory = WithTrailingBackslash(std::move(directory));

    std::wstring mingwDir = FindSubdirMatching(directory, MingwFolderPattern());
    const std::wstring binDir = FindSubdirNamed(directory, L"bin");
    // Some IDEs keep the tool chain inside their own "bin" folder.
    if (mingwDir.empty() && !binDir.empty())
        mingwDir = FindSubdirMatching(binDir, MingwFolderPattern());
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

    int bits = 32;
    bool plainMingw32 = false;
    std::wstring base;
    const bool keepsLib32 = ideIndex == codeBlocksIde;
    if (!x64Dir.empty())
    {
        bits = 64;
        row->libSubdir64 = L"lib\\";
        if (!keepsLib32)
            row->libSubdir32 = L"lib32\\";
        base = x64Dir;
    }
    else if (!x86Dir.empty())
    {
        row->libSubdir64 = L"lib64\\";
        if (!keepsLib32)
            row->libSubdir32 = L"lib\\";
        base = x86Dir;
    }
    else if (!oldDir.empty())
    {
        plainMingw32 = true;
        row->devcpp54Libs = devcppVariant;
        base = FindSubdirNamed(oldDir, L"include").empty() ? mingwDir : oldDir;
        row->libSubdir64.clear();
        row->libSubdir32 = L"lib\\";
    }
    else
        return 0;

    CheckLibraryDirs(base, *row);
    const std::wstring headerLine = L"头文件路径 " + base + row->includeSubdir;
    std::wstring libraryLine = L"库文件路径";
    if (plainMingw32 || !row->libSubdir32.empty())
        libraryLine += L" " + base + row->libSubdir32;
    if (!plainMingw32 && !row->libSubdir64.empty())
        libraryLine += L" " + base + row->libSubdir64;

    if (entry == nullptr)
    {
        entry = NewRowEntry(ideIndex, row->displayName, true, true);
        detectedList.push_back(entry);
    }
    entry->infoLine1 = headerLine;
    entry->infoLine2 = libraryLine;
    row->rootDir = base;

    const std::wstring report = Utf8ToWide(RunCommand(L"\"" + mingwDir + L"bin\\gcc\" -v", commandTimeoutMs));
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
