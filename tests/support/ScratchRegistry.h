// Scratch registry for tests: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_USERS are redirected to
// fresh keys under a scratch root for the life of the object, so product code reads the real key names.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport
{

class ScratchRegistry
{
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

private:
    std::wstring rootPath_;
    HKEY overrides_[3] = {};
};

// Writers for the redirected keys; each creates the key path as needed and fails the test on error.
void SetRegString(HKEY hive, const std::wstring& path, const std::wstring& name, const std::wstring& value);
void SetRegDword(HKEY hive, const std::wstring& path, const std::wstring& name, DWORD value);
void SetRegValue(HKEY hive, const std::wstring& path, const std::wstring& name, DWORD type, const void* data,
                 DWORD bytes);
void CreateRegKey(HKEY hive, const std::wstring& path);

} // namespace TestSupport
