// Scratch folders for tests: a fresh folder under the temporary directory, removed with everything in it
// when the object ends; plus small helpers to lay out and inspect file trees.
#pragma once

#include <set>
#include <string>

namespace TestSupport
{

class ScratchFolder
{
public:
    // `nameHint` becomes part of the folder name (spaces and non-ASCII characters are allowed).
    explicit ScratchFolder(const std::wstring& nameHint = L"gravo");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, ending with a backslash.
    const std::wstring& Path() const { return path_; }
    // Path() + relative.
    std::wstring operator/(const std::wstring& relative) const { return path_ + relative; }

private:
    std::wstring path_;
};

// Writes `contents` to `path`, creating the parent folders; fails the test on error.
void WriteTextFile(const std::wstring& path, const std::string& contents);
// Creates the folder and its parents; fails the test on error.
void MakeFolders(const std::wstring& path);
// The whole file as bytes; empty when it cannot be read.
std::string ReadTextFile(const std::wstring& path);
bool PathExists(const std::wstring& path);
// Every file below `folder` (a path ending with a backslash), relative to it, backslash-separated.
std::set<std::wstring> ListFiles(const std::wstring& folder);
// Removes a folder tree (files made read-only included).
void RemoveTree(const std::wstring& folder);
// Path of the running test program's folder, ending with a backslash.
std::wstring ProgramFolder();

} // namespace TestSupport
