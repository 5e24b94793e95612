#include "install/CheckedFileOps.h"

#include "win32/UniqueHandles.h"

#include <exception>

std::wstring CopyReleaseFile(const std::wstring& source, const std::wstring& target)
{
    try
    {
        if (CopyFileW(source.c_str(), target.c_str(), FALSE))
            return {};
        return L"安装失败";
    }
    catch (const std::exception&)
    {
        return L"安装异常";
    }
}

std::wstring DeleteExistingFile(const std::wstring& path)
{
    try
    {
        WIN32_FIND_DATAW data;
        UniqueFindHandle find(FindFirstFileW(path.c_str(), &data));
        if (!find)
            return {};
        find.reset();
        if (DeleteFileW(path.c_str()))
            return {};
        return L"操作失败。";
    }
    catch (const std::exception&)
    {
        return L"操作异常";
    }
}
