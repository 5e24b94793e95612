#include "install/InstallSteps.h"

#include "install/CheckedFileOps.h"

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

bool RemoveStep(const std::vector<FileCopy>& files)
{
    for (const auto& [source, target] : files)
    {
        if (RemoveLibraryFile(target, source) != RemoveOutcome::removed)
            return false;
    }
    return true;
}
