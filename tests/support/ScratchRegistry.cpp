#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>

namespace TestSupport
{
namespace
{

const HKEY redirectedHives[3] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS};
const wchar_t* const hiveNames[3] = {L"HKLM", L"HKCU", L"HKU"};

std::wstring UniqueRootPath()
{
    return L"Software\\GravoSetupTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount());
}

void RestoreHives()
{
    for (HKEY hive : redirectedHives)
        RegOverridePredefKey(hive, nullptr);
}

} // namespace

ScratchRegistry::ScratchRegistry() : rootPath_(UniqueRootPath())
{
    // The scratch keys live under the real HKEY_CURRENT_USER, created before any redirection.
    RestoreHives();
    RegDeleteTreeW(HKEY_CURRENT_USER, rootPath_.c_str());
    for (int i = 0; i < 3; ++i)
    {
        const std::wstring path = rootPath_ + L"\\" + hiveNames[i];
        LSTATUS rc = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                     &overrides_[i], nullptr);
        if (rc != ERROR_SUCCESS)
            ADD_FAILURE() << "cannot create scratch key, error " << rc;
    }
    for (int i = 0; i < 3; ++i)
    {
        if (overrides_[i] != nullptr)
            RegOverridePredefKey(redirectedHives[i], overrides_[i]);
    }
}

ScratchRegistry::~ScratchRegistry()
{
    RestoreHives();
    for (HKEY key : overrides_)
    {
        if (key != nullptr)
            RegCloseKey(key);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, rootPath_.c_str());
}

void SetRegValue(HKEY hive, const std::wstring& path, const std::wstring& name, DWORD type, const void* data,
                 DWORD bytes)
{
    HKEY key = nullptr;
    LSTATUS rc = RegCreateKeyExW(hive, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    ASSERT_EQ(rc, ERROR_SUCCESS) << "cannot create key";
    rc = RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(key);
    ASSERT_EQ(rc, ERROR_SUCCESS) << "cannot set value";
}

void SetRegString(HKEY hive, const std::wstring& path, const std::wstring& name, const std::wstring& value)
{
    SetRegValue(hive, path, name, REG_SZ, value.c_str(),
                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void SetRegDword(HKEY hive, const std::wstring& path, const std::wstring& name, DWORD value)
{
    SetRegValue(hive, path, name, REG_DWORD, &value, sizeof value);
}

void CreateRegKey(HKEY hive, const std::wstring& path)
{
    HKEY key = nullptr;
    LSTATUS rc = RegCreateKeyExW(hive, path.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr);
    ASSERT_EQ(rc, ERROR_SUCCESS) << "cannot create key";
    RegCloseKey(key);
}

} // namespace TestSupport
