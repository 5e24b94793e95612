#include "install/InstallSteps.h"

#include "install/CheckedFileOps.h"

#include <windows.h>

std::wstring CopyStep(const std::vector<FileCopy>& copies, bool stopAtFirstFailure)
{
    std::wstring result;
    for (const auto& [source, target] : copies)
    {
        result += CopyReleaseFile(source, target);
        if (stopAtFirstFailure && !result.empty())
            break;
    }
    return result;
}

bool DeleteStep(const std::vector<std::wstring>& paths)
{
    for (const std::wstring& path : paths)
    {
        if (!DeleteFileW(path.c_str()))
            return false;
    }
    return true;
}
