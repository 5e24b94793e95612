#include "discovery/EnvironmentTable.h"

#include "discovery/FolderSearch.h"
#include "discovery/RegistryReader.h"

#include <iterator>

namespace
{

constexpr wchar_t undetectedText[] = L"（未检测到）";

struct VcRowSpec
{
    const wchar_t* displayName;
    int version;
};

const VcRowSpec vcRowSpecs[] = {
    {L"  Visual C++ 6.0", 6},     {L"  Visual C++ 2008", 2008}, {L"  Visual C++ 2010", 2010},
    {L"  Visual C++ 2012", 2012}, {L"  Visual C++ 2013", 2013}, {L"  Visual C++ 2015", 2015},
    {L"  Visual C++ 2017", 2017}, {L"  Visual C++ 2019", 2019}, {L"  Visual C++ 2022", 2022},
    {L"  Visual C++ 2026", 2026},
};

const wchar_t* const mingwDisplayNames[] = {L"  DevCpp", L"  CodeBlocks", L"  CLion",
                                            L"  VSCode", L"  C-Free",     L"  其它 MinGW"};

// VS Code gets no entry.
constexpr int probedIdeOrder[] = {devcppIde, clionIde, codeBlocksIde, cfreeIde};

// A cleared root names no folder: its subfolders do not exist, whatever the current folder holds.
bool ExistsBelow(const std::wstring& rootDir, const std::wstring& subdir)
{
    return !rootDir.empty() && IsExistingDirectory(rootDir + subdir);
}

} // namespace

void ResetProbedState(MingwToolchainRow& row)
{
    row.rootDir.clear();
    row.includeSubdir = L"include\\";
    row.libSubdir32.clear();
    row.libSubdir64.clear();
    row.devcpp54Libs = false;
    row.hasBothLibDirs = false;
}

std::wstring PathLine(const wchar_t* label, const std::wstring& base,
                      const std::vector<std::wstring>& subdirs)
{
    std::wstring line = label;
    for (const std::wstring& subdir : subdirs)
        line += L" " + base + subdir;
    return line;
}

void ShowVcRow(const VcToolsetRow& row, EnvListEntry& entry)
{
    if (row.rootDir.empty())
    {
        entry.infoLine1.clear();
        entry.infoLine2.clear();
        return;
    }
    entry.infoLine1 = PathLine(L"头文件路径", row.rootDir, {row.includeSubdir});
    std::vector<std::wstring> libraryDirs{row.libSubdirX86};
    if (!row.libSubdirX64.empty())
        libraryDirs.push_back(row.libSubdirX64);
    entry.infoLine2 = PathLine(L"库文件路径", row.rootDir, libraryDirs);
}

std::wstring LibSubdirX86For(int version)
{
    switch (version)
    {
    case 6:
        return L"Lib\\";
    case 2008:
    case 2010:
    case 2012:
    case 2013:
    case 2015:
        return L"lib\\";
    case 2017:
    case 2019:
    case 2022:
    case 2026:
        return L"lib\\x86\\";
    default:
        return {};
    }
}

std::wstring LibSubdirX64For(int version)
{
    switch (version)
    {
    case 2008:
    case 2010:
    case 2012:
    case 2013:
    case 2015:
        return L"lib\\amd64\\";
    case 2017:
    case 2019:
    case 2022:
    case 2026:
        return L"lib\\x64\\";
    default:
        return {};
    }
}

void ValidateVcRow(VcToolsetRow& row)
{
    if (!ExistsBelow(row.rootDir, row.includeSubdir))
    {
        row.rootDir.clear();
        row.includeSubdir.clear();
    }
    if (!ExistsBelow(row.rootDir, row.libSubdirX86))
    {
        row.rootDir.clear();
        row.includeSubdir.clear();
        row.libSubdirX86.clear();
    }
    if (!ExistsBelow(row.rootDir, row.libSubdirX64))
        row.libSubdirX64.clear();
}

EnvironmentTable::EnvironmentTable() = default;
EnvironmentTable::~EnvironmentTable() = default;

void EnvironmentTable::CreateRows()
{
    vcRows.clear();
    for (const VcRowSpec& spec : vcRowSpecs)
    {
        auto row = std::make_unique<VcToolsetRow>();
        row->displayName = spec.displayName;
        row->version = spec.version;
        vcRows.push_back(std::move(row));
    }
    mingwRows.clear();
    for (int ideIndex = 0; ideIndex < static_cast<int>(std::size(mingwDisplayNames)); ++ideIndex)
    {
        auto row = std::make_unique<MingwToolchainRow>();
        row->displayName = mingwDisplayNames[ideIndex];
        row->ideIndex = ideIndex;
        ResetProbedState(*row);
        mingwRows.push_back(std::move(row));
    }
}

EnvListEntry* EnvironmentTable::NewEntry()
{
    entries_.push_back(std::make_unique<EnvListEntry>());
    return entries_.back().get();
}

EnvListEntry* EnvironmentTable::NewRowEntry(int rowIndex, const std::wstring& displayName, bool isMingw,
                                            bool detected)
{
    EnvListEntry* entry = NewEntry();
    entry->rowIndex = rowIndex;
    entry->displayName = displayName;
    entry->statusText = undetectedText;
    entry->detected = detected;
    entry->isMingw = isMingw;
    return entry;
}

VcToolsetRow* EnvironmentTable::VcRowOf(const EnvListEntry& entry) const
{
    if (entry.rowIndex < 0 || entry.rowIndex >= static_cast<int>(vcRows.size()))
        return nullptr;
    return vcRows[entry.rowIndex].get();
}

MingwToolchainRow* EnvironmentTable::MingwRowAt(int ideIndex) const
{
    if (ideIndex < 0 || ideIndex >= static_cast<int>(mingwRows.size()))
        return nullptr;
    return mingwRows[ideIndex].get();
}

UninstallEntries& EnvironmentTable::PassUninstallEntries(bool hostIs64)
{
    if (!uninstallEntries_ || uninstallEntries_->ReadsWow64Key() != hostIs64)
        uninstallEntries_.emplace(hostIs64);
    return *uninstallEntries_;
}

void EnvironmentTable::DetectVcRow(int rowIndex, bool hostIs64)
{
    VcToolsetRow& row = *vcRows[rowIndex];
    row.rootDir = FindVcRootDir(row.version, hostIs64, PassUninstallEntries(hostIs64));
    if (!row.rootDir.empty())
    {
        row.includeSubdir = L"include\\";
        row.libSubdirX86 = LibSubdirX86For(row.version);
        row.libSubdirX64 = LibSubdirX64For(row.version);
        ValidateVcRow(row);
    }
    if (row.rootDir.empty())
    {
        undetectedList.push_back(NewRowEntry(rowIndex, row.displayName, false, false));
        return;
    }
    EnvListEntry* entry = NewRowEntry(rowIndex, row.displayName, false, true);
    ShowVcRow(row, *entry);
    detectedList.push_back(entry);
}

void EnvironmentTable::RunDetectionPass(const std::wstring& documentationLine1,
                                        const std::wstring& documentationLine2)
{
    CreateRows();
    // A fresh walk of the Uninstall key for this pass, shared by all its lookups.
    uninstallEntries_.reset();
    displayList.clear();
    detectedList.clear();
    undetectedList.clear();

    EnvListEntry* documentation = NewEntry();
    documentation->rowIndex = -1;
    documentation->displayName = L"  Gravo 文档";
    documentation->infoLine1 = documentationLine1;
    documentation->infoLine2 = documentationLine2;
    documentation->statusText = undetectedText;
    documentation->detected = true;
    displayList.push_back(documentation);

    const bool hostIs64 = HostIs64();
    for (int rowIndex = 0; rowIndex < static_cast<int>(vcRows.size()); ++rowIndex)
        DetectVcRow(rowIndex, hostIs64);
    for (int ideIndex : probedIdeOrder)
        ProbeMingwEnvironment(std::wstring(), ideIndex, nullptr, hostIs64);

    displayList.insert(displayList.end(), detectedList.begin(), detectedList.end());
    displayList.insert(displayList.end(), undetectedList.begin(), undetectedList.end());
    displayList.push_back(NewRowEntry(otherMingwIde, mingwRows[otherMingwIde]->displayName, true, false));
    uninstallEntries_.reset();
}
