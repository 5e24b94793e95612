#include "ReleaseKit.h"

#include "support/ScratchFolder.h"

#include <windows.h>

namespace TestSupport
{
namespace
{

const wchar_t* const topFolders[] = {L"include", L"lib_vs", L"lib_mingw"};

} // namespace

const std::vector<std::wstring>& ReleaseKit::Files()
{
    // Generated from the release layout list, the one place that names the release files.
    static const std::vector<std::wstring> files = {
#include "ReleaseKitFiles.inc"
    };
    return files;
}

std::string ReleaseKit::ContentsOf(const std::wstring& relativePath)
{
    std::string narrow;
    for (wchar_t c : relativePath)
        narrow += static_cast<char>(c);
    return "release file " + narrow;
}

ReleaseKit::ReleaseKit()
{
    for (const std::wstring& file : Files())
        WriteTextFile(ProgramFolder() + file, ContentsOf(file));
}

ReleaseKit::~ReleaseKit()
{
    for (const wchar_t* folder : topFolders)
        RemoveTree(ProgramFolder() + folder);
}

void ReleaseKit::Remove(const std::wstring& relativePath) const
{
    DeleteFileW((ProgramFolder() + relativePath).c_str());
}

} // namespace TestSupport
