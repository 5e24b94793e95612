// Loading a DLL of the system folder, and resolving its functions by name. The wizard runs elevated from a
// user's download folder, where a planted DLL of the same name must never be picked up. Header-only.
#pragma once

#include "win32/UniqueHandles.h"

#include <string>

// The full path of a file in the system folder, or empty when the system folder cannot be read.
inline std::wstring SystemFolderPath(const wchar_t* fileName)
{
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring path(folder, length);
    if (path.back() != L'\\')
        path += L'\\';
    return path + fileName;
}

// Loads fileName from the system folder only; null when it is not there.
inline UniqueModule LoadSystemLibrary(const wchar_t* fileName)
{
    UniqueModule module(LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (module || GetLastError() != ERROR_INVALID_PARAMETER)
        return module;
    // Windows 7 without the loader update knows no LOAD_LIBRARY_SEARCH_SYSTEM32: name the file in full.
    const std::wstring path = SystemFolderPath(fileName);
    if (!path.empty())
        module.reset(LoadLibraryExW(path.c_str(), nullptr, 0));
    return module;
}

// A function of a loaded module, typed; null when the module lacks it.
template <typename Function> Function ResolveFunction(HMODULE module, const char* name)
{
    // Through void(*)() so that the compiler accepts the conversion between function pointer types.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
