#include "install/VisualCppInstaller.h"

#include "discovery/EnvironmentTable.h"
#include "install/CheckedFileOps.h"
#include "install/InstallSteps.h"
#include "install/PayloadManifest.h"

namespace
{

// The install and uninstall steps of a row, in their order: target directory and payload list.
struct PayloadStep
{
    const std::wstring* subdir;
    const PayloadList* payload;
    bool installNeedsSubdir; // the 64-bit libraries are installed only where the row has their directory
};

std::vector<PayloadStep> StepsOf(const VcToolsetRow& row)
{
    const VcLibPayloads libs = VcLibPayloadsFor(row.version);
    return {{&row.includeSubdir, &headerFiles, false},
            {&row.libSubdirX86, libs.x86, false},
            {&row.libSubdirX64, libs.x64, true}};
}

// The step's release files and where they go below a root directory.
std::vector<FileCopy> FilesOf(const PayloadStep& step, const std::wstring& root)
{
    std::vector<FileCopy> files;
    for (int index : step.payload->indices)
        files.emplace_back(PayloadSourcePath(std::wstring(), index),
                           root + *step.subdir + payloadFiles[index].fileName);
    return files;
}

// The steps an uninstall (and the stale-copy cleanup) takes: only where the row names the directory.
bool RemovesFrom(const PayloadStep& step)
{
    return !step.subdir->empty() && step.payload != nullptr;
}

} // namespace

void RemoveStaleToolsetCopies(const VcToolsetRow& row)
{
    const std::wstring toolset = DefaultToolsetDir(row);
    if (toolset.empty())
        return;
    const std::wstring release = ReleaseFolder();
    for (const PayloadStep& step : StepsOf(row))
    {
        if (!RemovesFrom(step))
            continue;
        // Only the library's own files go; whatever else stands there is left alone.
        for (const FileCopy& file : FilesOf(step, toolset))
            RemoveInstalledCopy(release, file);
    }
}

std::wstring InstallVisualCpp(const EnvironmentTable& table, int rowIndex)
{
    const VcToolsetRow* row = RowAt(table.vcRows, rowIndex);
    // A row without a root directory has no target: never copy relative to the current folder.
    if (row == nullptr || row->rootDir.empty())
        return L"安装失败";

    // Every release file is read and checked before anything is deleted or written.
    const std::wstring release = ReleaseFolder();
    std::vector<std::vector<FileCopy>> steps;
    ReleaseBytes bytes;
    for (const PayloadStep& step : StepsOf(*row))
    {
        if (step.payload == nullptr || (step.installNeedsSubdir && step.subdir->empty()))
            continue;
        steps.push_back(FilesOf(step, row->rootDir));
        const std::wstring differing = ReadStep(release, steps.back(), bytes);
        if (!differing.empty())
            return NamingFile(L"安装失败", differing);
    }

    RemoveStaleToolsetCopies(*row);
    for (const std::vector<FileCopy>& copies : steps)
    {
        if (!CopyStep(copies, bytes, true).empty())
            return L"安装失败";
    }
    return {};
}

std::wstring UninstallVisualCpp(const EnvironmentTable& table, int rowIndex)
{
    const VcToolsetRow* row = RowAt(table.vcRows, rowIndex);
    if (row == nullptr || row->rootDir.empty())
        return L"卸载失败";
    RemoveStaleToolsetCopies(*row);

    const std::wstring release = ReleaseFolder();
    bool removed = false;
    for (const PayloadStep& step : StepsOf(*row))
    {
        if (!RemovesFrom(step))
            continue;
        if (!RemoveStep(release, FilesOf(step, row->rootDir)))
            return L"卸载失败";
        removed = true;
    }
    return removed ? L"卸载成功" : L"卸载失败";
}
