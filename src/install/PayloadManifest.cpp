#include "install/PayloadManifest.h"

#include <windows.h>

#include <vector>

std::wstring ReleaseFolder()
{
    // Grow the buffer until the whole path fits: a truncated path would name a wrong folder.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;)
    {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
        {
            const std::wstring path(buffer.data(), length);
            const size_t slash = path.find_last_of(L'\\');
            return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
        }
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring PayloadSourcePath(const std::wstring& releaseFolder, int payloadIndex)
{
    const PayloadFile& file = payloadFiles[payloadIndex];
    return releaseFolder + file.folder + file.fileName;
}

VcLibPayloads VcLibPayloadsFor(int version)
{
    switch (version)
    {
    case 6:
        return {&vc6X86Libs, nullptr};
    case 2008:
    case 2010:
    case 2012:
    case 2013:
        return {&vc2008X86Libs, &vc2008X64Libs};
    case 2015:
    case 2017:
    case 2019:
    case 2022:
    case 2026:
        return {&vc2015X86Libs, &vc2015X64Libs};
    default:
        return {nullptr, nullptr};
    }
}
