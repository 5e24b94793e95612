// The release folder's layout: the payload manifest (the release files the Visual C++ installer copies),
// the payload lists that name each Visual C++ generation's files, the MinGW source paths, and the release
// folder itself, found from the running executable's path.
#pragma once

#include <array>
#include <string>

struct PayloadFile
{
    const wchar_t* folder;   // relative to the release folder, ending with a backslash
    const wchar_t* fileName; // also the name under which the file is installed
};

// Two manifest indices: for libraries the multibyte build first, the wide-character build second.
struct PayloadList
{
    std::array<int, 2> indices;
};

inline constexpr std::array<PayloadFile, 12> payloadFiles = {{
    {L"include\\", L"gravo.h"},
    {L"include\\", L"graphics.h"},
    {L"lib_vs\\VC6\\x86\\", L"Gravoa.lib"},
    {L"lib_vs\\VC6\\x86\\", L"Gravow.lib"},
    {L"lib_vs\\VC2008\\x86\\", L"Gravoa.lib"},
    {L"lib_vs\\VC2008\\x86\\", L"Gravow.lib"},
    {L"lib_vs\\VC2008\\x64\\", L"Gravoa.lib"},
    {L"lib_vs\\VC2008\\x64\\", L"Gravow.lib"},
    {L"lib_vs\\VC2015\\x86\\", L"Gravoa.lib"},
    {L"lib_vs\\VC2015\\x86\\", L"Gravow.lib"},
    {L"lib_vs\\VC2015\\x64\\", L"Gravoa.lib"},
    {L"lib_vs\\VC2015\\x64\\", L"Gravow.lib"},
}};

inline constexpr PayloadList headerFiles{{0, 1}};
inline constexpr PayloadList vc6X86Libs{{2, 3}};
inline constexpr PayloadList vc2008X86Libs{{4, 5}};
inline constexpr PayloadList vc2015X86Libs{{8, 9}};
inline constexpr PayloadList vc2008X64Libs{{6, 7}};
inline constexpr PayloadList vc2015X64Libs{{10, 11}};

// The library payload lists of a Visual C++ generation; x64 is null for Visual C++ 6.0, both are null for a
// number that names no generation. The headers are headerFiles for every generation.
struct VcLibPayloads
{
    const PayloadList* x86;
    const PayloadList* x64;
};
VcLibPayloads VcLibPayloadsFor(int version);

// MinGW sources, relative to the release folder; each is installed under its bare file name.
inline constexpr const wchar_t* mingwHeaderSources[2] = {L"include\\gravo.h", L"include\\graphics.h"};
inline constexpr const wchar_t* mingwLib32Sources[2] = {L"lib_mingw\\lib32\\libgravo.a",
                                                        L"lib_mingw\\lib32\\libgravow.a"};
inline constexpr const wchar_t* mingwLib64Sources[2] = {L"lib_mingw\\lib64\\libgravo.a",
                                                        L"lib_mingw\\lib64\\libgravow.a"};
inline constexpr const wchar_t* mingwDevcpp54Source = L"lib_mingw\\lib-for-devcpp_5.4.0\\libgravo.a";

// The folder of the running executable, ending with a backslash. Looked up afresh on every call.
std::wstring ReleaseFolder();

// Release folder + entry folder + entry file name.
std::wstring PayloadSourcePath(const std::wstring& releaseFolder, int payloadIndex);
