// The installers' shared steps: copying a group of release files into a target directory and removing a
// group of installed files, each group stopping where the installers' rules say it stops; and the row of a
// table by its index.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

// (release source, installed target) paths of one file.
using FileCopy = std::pair<std::wstring, std::wstring>;

// Runs the copies in order and returns their results joined: empty when all succeeded. With
// stopAtFirstFailure the copies after the first failed one are not attempted.
std::wstring CopyStep(const std::vector<FileCopy>& copies, bool stopAtFirstFailure);

// Removes the installed files in order; false at the first one that is absent, not the library's or cannot
// be deleted, leaving the later ones in place.
bool RemoveStep(const std::vector<FileCopy>& files);

// The row at an index of a row table, or null for an index outside it.
template <typename Row> const Row* RowAt(const std::vector<std::unique_ptr<Row>>& rows, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= rows.size())
        return nullptr;
    return rows[static_cast<size_t>(index)].get();
}
