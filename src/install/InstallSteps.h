// The installers' shared steps: reading the release files of an install before anything is written, copying
// a group of them into a target directory and removing a group of installed files, each group stopping where
// the installers' rules say it stops; and the row of a table by its index.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// (release file relative to the release folder, installed target path) of one file.
using FileCopy = std::pair<std::wstring, std::wstring>;

// The bytes of the release files an install has read and checked, by their relative paths.
using ReleaseBytes = std::map<std::wstring, std::string>;

// Reads and checks the release files of one step that are not in `bytes` yet, and adds them. Empty when
// all are the build's files, else the relative path of the first one that is not.
std::wstring ReadStep(const std::wstring& releaseFolder, const std::vector<FileCopy>& copies,
                      ReleaseBytes& bytes);

// An install's failure text that names the release file it found differing, on a line of its own.
std::wstring NamingFile(const std::wstring& failureText, const std::wstring& relativePath);

// Writes the copies' bytes (read by ReadStep) in order and returns their results joined: empty when all
// succeeded. With stopAtFirstFailure the copies after the first failed one are not attempted.
std::wstring CopyStep(const std::vector<FileCopy>& copies, const ReleaseBytes& bytes,
                      bool stopAtFirstFailure);

// Removes one installed file when it is the library's; a graphics.h is compared with the release's copy
// when that copy is the build's.
bool RemoveInstalledCopy(const std::wstring& releaseFolder, const FileCopy& file);

// Removes the installed files in order; false at the first one that is absent, not the library's or cannot
// be deleted, leaving the later ones in place.
bool RemoveStep(const std::wstring& releaseFolder, const std::vector<FileCopy>& files);

// The row at an index of a row table, or null for an index outside it.
template <typename Row> const Row* RowAt(const std::vector<std::unique_ptr<Row>>& rows, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= rows.size())
        return nullptr;
    return rows[static_cast<size_t>(index)].get();
}
