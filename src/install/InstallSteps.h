// The installers' shared steps: copying a group of release files into a target directory and deleting a
// group of installed files, each group stopping where the installers' rules say it stops.
#pragma once

#include <string>
#include <utility>
#include <vector>

// (source, target) paths of one copy.
using FileCopy = std::pair<std::wstring, std::wstring>;

// Runs the copies in order and returns their results joined: empty when all succeeded. With
// stopAtFirstFailure the copies after the first failed one are not attempted.
std::wstring CopyStep(const std::vector<FileCopy>& copies, bool stopAtFirstFailure);

// Deletes the files in order without an existence check; false at the first one that cannot be deleted,
// leaving the later ones in place.
bool DeleteStep(const std::vector<std::wstring>& paths);
