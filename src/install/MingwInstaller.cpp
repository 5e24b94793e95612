#include "install/MingwInstaller.h"

#include "discovery/EnvironmentTable.h"
#include "install/InstallSteps.h"
#include "install/PayloadManifest.h"

namespace
{

std::wstring FileNameOf(const std::wstring& path)
{
    return path.substr(path.find_last_of(L'\\') + 1);
}

// One step: its release sources, the directory they go to, and the text of its failure.
struct MingwStep
{
    std::vector<const wchar_t*> sources;
    const std::wstring* subdir;
    const wchar_t* failureText;
};

// The steps of a row, the same for install and uninstall: an uninstall removes exactly what the install
// put there (one library for the Dev-C++ 5.4.0 variant).
std::vector<MingwStep> StepsOf(const MingwToolchainRow& row)
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

std::vector<FileCopy> FilesOf(const MingwStep& step, const std::wstring& root)
{
    std::vector<FileCopy> files;
    for (const wchar_t* source : step.sources)
        files.emplace_back(source, root + *step.subdir + FileNameOf(source));
    return files;
}

} // namespace

std::wstring InstallMingw(const EnvironmentTable& table, int rowIndex)
{
    const MingwToolchainRow* row = RowAt(table.mingwRows, rowIndex);
    // A tool chain that was never probed has no target: never copy relative to the current folder.
    if (row == nullptr || row->rootDir.empty())
        return L"安装失败_inlcude";
    // A tool chain without any library folder cannot take the library: headers alone are no install.
    if (row->libSubdir32.empty() && row->libSubdir64.empty())
        return L"安装失败_lib32";

    // Every release file is read and checked before anything is written; one that differs fails with the
    // text of its step.
    const std::wstring release = ReleaseFolder();
    const std::vector<MingwStep> steps = StepsOf(*row);
    ReleaseBytes bytes;
    for (const MingwStep& step : steps)
    {
        const std::wstring differing = ReadStep(release, FilesOf(step, row->rootDir), bytes);
        if (!differing.empty())
            return NamingFile(step.failureText, differing);
    }
    for (const MingwStep& step : steps)
    {
        // Both copies of a step are attempted; the step fails if either did.
        if (!CopyStep(FilesOf(step, row->rootDir), bytes, false).empty())
            return step.failureText;
    }
    return {};
}

std::wstring UninstallMingw(const EnvironmentTable& table, int rowIndex)
{
    const MingwToolchainRow* row = RowAt(table.mingwRows, rowIndex);
    if (row == nullptr || row->rootDir.empty())
        return L"卸载失败";

    const std::wstring release = ReleaseFolder();
    for (const MingwStep& step : StepsOf(*row))
    {
        if (!RemoveStep(release, FilesOf(step, row->rootDir)))
            return L"卸载失败";
    }
    return L"卸载成功";
}
