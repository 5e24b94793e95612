#include "discovery/FileVersion.h"

#include "install/PathTrust.h"
#include "win32/SystemLibrary.h"

#include <windows.h>

#include <vector>

namespace
{

using GetFileVersionInfoSizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetFileVersionInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using VerQueryValueFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

// The file version's most significant word, or 0 when it cannot be read.
DWORD FileVersionMs(const std::wstring& path)
{
    // version.dll is no KnownDLL: loaded by bare name it could be picked up from the elevated wizard's own
    // (download) folder.
    UniqueModule versionDll = LoadSystemLibrary(L"version.dll");
    if (!versionDll)
        return 0;
    const auto getSize =
        ResolveFunction<GetFileVersionInfoSizeFn>(versionDll.get(), "GetFileVersionInfoSizeW");
    const auto getInfo = ResolveFunction<GetFileVersionInfoFn>(versionDll.get(), "GetFileVersionInfoW");
    const auto query = ResolveFunction<VerQueryValueFn>(versionDll.get(), "VerQueryValueW");
    if (getSize == nullptr || getInfo == nullptr || query == nullptr)
        return 0;
    DWORD ignored = 0;
    const DWORD size = getSize(path.c_str(), &ignored);
    if (size == 0)
        return 0;
    std::vector<BYTE> block(size);
    if (!getInfo(path.c_str(), 0, size, block.data()))
        return 0;
    void* fixed = nullptr;
    UINT fixedBytes = 0;
    if (!query(block.data(), L"\\", &fixed, &fixedBytes) || fixed == nullptr ||
        fixedBytes < sizeof(VS_FIXEDFILEINFO))
        return 0;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    return info->dwSignature == VS_FFI_SIGNATURE ? info->dwFileVersionMS : 0;
}

} // namespace

int GenerationFromVersion(int code)
{
    const int major = code / 100;
    const int minor = code % 100;
    switch (major)
    {
    case 0:
        return 0;
    case 12:
        return 6;
    case 15:
        return 2008;
    case 16:
        return 2010;
    case 17:
        return 2012;
    case 18:
        return 2013;
    case 19:
        if (minor < 10)
            return 2015;
        if (minor < 20)
            return 2017;
        if (minor < 30)
            return 2019;
        return minor < 50 ? 2022 : 2026;
    default:
        return code;
    }
}

int GenerationOfExecutable(const std::wstring& path)
{
    // The file is read by its name, so it is first reached through the install's walk and held, with every
    // folder above it, until the version is read: the name cannot lead elsewhere meanwhile.
    const TrustedFile held = OpenTrustedFile(path, 0);
    if (held.trust != FolderTrust::trusted)
        return 0;
    const DWORD versionMs = FileVersionMs(held.path);
    return GenerationFromVersion(static_cast<int>(HIWORD(versionMs)) * 100 +
                                 static_cast<int>(LOWORD(versionMs)));
}
