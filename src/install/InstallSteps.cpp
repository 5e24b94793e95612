#include "install/InstallSteps.h"

#include "install/CheckedFileOps.h"
#include "install/LibraryFiles.h"
#include "install/ReleasePayload.h"

std::wstring ReadStep(const std::wstring& releaseFolder, const std::vector<FileCopy>& copies,
                      ReleaseBytes& bytes)
{
    for (const FileCopy& copy : copies)
    {
        const std::wstring& source = copy.first;
        if (bytes.count(source) != 0)
            continue;
        std::string contents;
        if (!ReadReleaseFile(releaseFolder, source, contents))
            return source;
        bytes.emplace(source, std::move(contents));
    }
    return {};
}

std::wstring NamingFile(const std::wstring& failureText, const std::wstring& relativePath)
{
    return failureText + L"\n" + relativePath;
}

std::wstring CopyStep(const std::vector<FileCopy>& copies, const ReleaseBytes& bytes, bool stopAtFirstFailure)
{
    std::wstring result;
    for (const auto& [source, target] : copies)
    {
        const auto read = bytes.find(source);
        result += read == bytes.end() ? L"安装失败" : CopyReleaseFile(read->second, target);
        if (stopAtFirstFailure && !result.empty())
            break;
    }
    return result;
}

bool RemoveInstalledCopy(const std::wstring& releaseFolder, const FileCopy& file)
{
    const auto& [source, target] = file;
    std::string releaseCopy;
    // Only graphics.h is told by its contents; a release copy that is not the build's is no evidence.
    if (IsSharedHeaderName(target.substr(target.find_last_of(L'\\') + 1)))
        ReadReleaseFile(releaseFolder, source, releaseCopy);
    return RemoveLibraryFile(target, releaseCopy) == RemoveOutcome::removed;
}

bool RemoveStep(const std::wstring& releaseFolder, const std::vector<FileCopy>& files)
{
    for (const FileCopy& file : files)
    {
        if (!RemoveInstalledCopy(releaseFolder, file))
            return false;
    }
    return true;
}
