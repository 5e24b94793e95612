#include "install/VisualCppInstaller.h"

#include "discovery/EnvironmentTable.h"
#include "install/CheckedFileOps.h"
#include "install/InstallSteps.h"
#include "install/PayloadManifest.h"

namespace
{

const VcToolsetRow* RowAt(const EnvironmentTable& table, int rowIndex)
{
    if (rowIndex < 0 || static_cast<size_t>(rowIndex) >= table.vcRows.size())
        return nullptr;
    return table.vcRows[rowIndex].get();
}

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

} // namespace

void RemoveStaleToolsetCopies(const VcToolsetRow& row)
{
    const std::wstring toolset = DefaultToolsetDir(row);
    if (toolset.empty())
        return;
    for (const PayloadStep& step : StepsOf(row))
    {
        if (step.subdir->empty() || step.payload == nullptr)
            continue;
        for (int index : step.payload->indices)
            DeleteExistingFile(toolset + *step.subdir + payloadFiles[index].fileName);
    }
}

std::wstring InstallVisualCpp(const EnvironmentTable& table, int rowIndex)
{
    const VcToolsetRow* row = RowAt(table, rowIndex);
    // A row without a root directory has no target: never copy relative to the current folder.
    if (row == nullptr || row->rootDir.empty())
        return L"安装失败";
    RemoveStaleToolsetCopies(*row);

    const std::wstring release = ReleaseFolder();
    for (const PayloadStep& step : StepsOf(*row))
    {
        if (step.payload == nullptr || (step.installNeedsSubdir && step.subdir->empty()))
            continue;
        std::vector<FileCopy> copies;
        for (int index : step.payload->indices)
            copies.emplace_back(PayloadSourcePath(release, index),
                                row->rootDir + *step.subdir + payloadFiles[index].fileName);
        if (!CopyStep(copies, true).empty())
            return L"安装失败";
    }
    return {};
}

std::wstring UninstallVisualCpp(const EnvironmentTable& table, int rowIndex)
{
    const VcToolsetRow* row = RowAt(table, rowIndex);
    if (row == nullptr || row->rootDir.empty())
        return L"卸载失败";
    RemoveStaleToolsetCopies(*row);

    bool deleted = false;
    for (const PayloadStep& step : StepsOf(*row))
    {
        if (step.subdir->empty() || step.payload == nullptr)
            continue;
        std::vector<std::wstring> paths;
        for (int index : step.payload->indices)
            paths.push_back(row->rootDir + *step.subdir + payloadFiles[index].fileName);
        if (!DeleteStep(paths))
            return L"卸载失败";
        deleted = true;
    }
    return deleted ? L"卸载成功" : L"卸载失败";
}
