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
    static const std::vector<std::wstring> files = {
        L"include\\gravo.h",
        L"include\\graphics.h",
        L"lib_vs\\VC6\\x86\\Gravoa.lib",
        L"lib_vs\\VC6\\x86\\Gravow.lib",
        L"lib_vs\\VC2008\\x86\\Gravoa.lib",
        L"lib_vs\\VC2008\\x86\\Gravow.lib",
        L"lib_vs\\VC2008\\x64\\Gravoa.lib",
        L"lib_vs\\VC2008\\x64\\Gravow.lib",
        L"lib_vs\\VC2015\\x86\\Gravoa.lib",
        L"lib_vs\\VC2015\\x86\\Gravow.lib",
        L"lib_vs\\VC2015\\x64\\Gravoa.lib",
        L"lib_vs\\VC2015\\x64\\Gravow.lib",
        L"lib_mingw\\lib32\\libgravo.a",
        L"lib_mingw\\lib32\\libgravow.a",
        L"lib_mingw\\lib64\\libgravo.a",
        L"lib_mingw\\lib64\\libgravow.a",
        L"lib_mingw\\lib-for-devcpp_5.4.0\\libgravo.a",
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
