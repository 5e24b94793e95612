#include "install/MingwInstaller.h"

#include "discovery/EnvironmentTable.h"
#include "install/InstallSteps.h"
#include "install/PayloadManifest.h"

namespace
{

const MingwToolchainRow* RowAt(const EnvironmentTable& table, int rowIndex)
{
    if (rowIndex < 0 || static_cast<size_t>(rowIndex) >= table.mingwRows.size())
        return nullptr;
    return table.mingwRows[rowIndex].get();
}

std::wstring FileNameOf(const std::wstring& path)
{
    return path.substr(path.find_last_of(L'\\') + 1);
}

// One install step: its release sources, the directory they go to, and the text of its failure.
struct MingwStep
{
    std::vector<std::wstring> sources;
    const std::wstring* subdir;
    const wchar_t* failureText;
};

std::vector<MingwStep> InstallStepsOf(const MingwToolchainRow& row)
{
    std::vector<MingwStep> steps;
    steps.push_back(
        {{mingwHeaderSources[0], mingwHeaderSources[1]}, &row.includeSubdir, L"安装失败_inlcude"});
    if (!row.libSubdir32.empty() && !row.devcpp54Libs)
        steps.push_back({{mingwLib32Sources[0], mingwLib32Sources[1]}, &row.libSubdir32, L"安装失败_lib32"});
    if (!row.libSubdir32.empty() && row.devcpp54Libs)
        steps.push_back({{mingwDevcpp54Source}, &row.libSubdir32, L"安装失败_lib32"});
    if (!row.libSubdir64.empty())
        steps.push_back({{mingwLib64Sources[0], mingwLib64Sources[1]}, &row.libSubdir64, L"安装失败_lib64"});
    return steps;
}

} // namespace

std::wstring InstallMingw(const EnvironmentTable& table, int rowIndex)
{
    const MingwToolchainRow* row = RowAt(table, rowIndex);
    // A tool chain that was never probed has no target: never copy relative to the current folder.
    if (row == nullptr || row->rootDir.empty())
        return L"安装失败_inlcude";

    const std::wstring release = ReleaseFolder();
    for (const MingwStep& step : InstallStepsOf(*row))
    {
        std::vector<FileCopy> copies;
        for (const std::wstring& source : step.sources)
            copies.emplace_back(release + source, row->rootDir + *step.subdir + FileNameOf(source));
        // Both copies of a step are attempted; the step fails if either did.
        if (!CopyStep(copies, false).empty())
            return step.failureText;
    }
    return {};
}

std::wstring UninstallMingw(const EnvironmentTable& table, int rowIndex)
{
    const MingwToolchainRow* row = RowAt(table, rowIndex);
    if (row == nullptr || row->rootDir.empty())
        return L"卸载失败";

    // Both 32-bit libraries are always tried, also for the Dev-C++ 5.4.0 variant that has only one.
    const std::wstring* subdirs[] = {&row->includeSubdir, &row->libSubdir32, &row->libSubdir64};
    const wchar_t* const names[3][2] = {
        {L"gravo.h", L"graphics.h"}, {L"libgravo.a", L"libgravow.a"}, {L"libgravo.a", L"libgravow.a"}};
    bool deleted = false;
    for (int step = 0; step < 3; ++step)
    {
        // The headers are removed wherever the row has a root; the libraries only where it has their folder.
        if (step > 0 && subdirs[step]->empty())
            continue;
        const std::wstring dir = row->rootDir + *subdirs[step];
        if (!DeleteStep({dir + names[step][0], dir + names[step][1]}))
            return L"卸载失败";
        deleted = true;
    }
    return deleted ? L"卸载成功" : L"卸载失败";
}
