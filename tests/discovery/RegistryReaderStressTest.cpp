// Registry data the wizard was never meant to meet: values of every length around the reader's 2048-byte
// buffer, values of other types, and an Uninstall key crowded with thousands of other programs.
#include "discovery/EnvironmentTable.h"
#include "discovery/RegistryReader.h"

#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace
{

using namespace TestSupport;

const std::wstring values = L"Software\\Values";

class RegistryStress : public ::testing::Test
{
protected:
    std::wstring Read(const wchar_t* name)
    {
        return ReadRegistryString(HKEY_LOCAL_MACHINE, values.c_str(), name);
    }

    ScratchRegistry registry;
};

TEST_F(RegistryStress, TerminatedStringsReadWholeUpToTheBufferAndEmptyBeyondIt)
{
    for (size_t chars = 1000; chars <= 1040; ++chars)
    {
        const std::wstring text(chars, static_cast<wchar_t>(L'a' + chars % 26));
        SetRegString(HKEY_LOCAL_MACHINE, values, L"Text", text);
        // With its terminator the value takes 2 * chars + 2 bytes.
        const bool fits = 2 * chars + 2 <= registryValueBufferBytes;
        EXPECT_EQ(Read(L"Text"), fits ? text : L"") << chars;
    }
}

// Only text values name folders: data of any other type, of any length around the buffer, reads as nothing.
TEST_F(RegistryStress, ValuesOfOtherTypesOfEveryLengthReadAsEmpty)
{
    const std::vector<BYTE> data(registryValueBufferBytes + 8, 'x');
    for (DWORD bytes = registryValueBufferBytes - 8; bytes <= registryValueBufferBytes + 8; ++bytes)
    {
        SetRegValue(HKEY_LOCAL_MACHINE, values, L"Binary", REG_BINARY, data.data(), bytes);
        EXPECT_EQ(Read(L"Binary"), L"") << bytes;
    }
    SetRegDword(HKEY_LOCAL_MACHINE, values, L"Dword", 0x00420041);
    const wchar_t multi[] = L"first\0second\0";
    SetRegValue(HKEY_LOCAL_MACHINE, values, L"Multi", REG_MULTI_SZ, multi, sizeof multi);
    const BYTE oddBinary[] = {'A', 0, 'B'};
    SetRegValue(HKEY_LOCAL_MACHINE, values, L"Odd", REG_BINARY, oddBinary, sizeof oddBinary);
    SetRegValue(HKEY_LOCAL_MACHINE, values, L"Empty", REG_BINARY, nullptr, 0);
    const unsigned long long qword = 0x0000004300420041ull; // "ABC" if read as text
    SetRegValue(HKEY_LOCAL_MACHINE, values, L"Qword", REG_QWORD, &qword, sizeof qword);
    for (const wchar_t* name : {L"Dword", L"Multi", L"Odd", L"Empty", L"Qword"})
        EXPECT_EQ(Read(name), L"") << name;
}

class CrowdedUninstallKey : public ::testing::Test
{
protected:
    // Subkeys of other programs under the key the pass reads on this host, none of them a wanted one.
    void AddOtherPrograms(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            wchar_t name[48];
            swprintf(name, 48, L"{%08d-0000-0000-0000-000000000000}", i);
            SetRegString(HKEY_LOCAL_MACHINE, uninstall + name, L"DisplayName",
                         L"Some Application " + std::to_wstring(i));
        }
    }
    std::vector<std::wstring> Listed(const EnvironmentTable& table) const
    {
        std::vector<std::wstring> lines;
        for (const EnvListEntry* entry : table.displayList)
            lines.push_back(entry->displayName + (entry->detected ? L" detected" : L" not detected"));
        return lines;
    }

    // The registry first: the key's path depends on the host width the pass reads, from the scratch registry
    // (read from the real one, it named the WOW6432Node key, which a 64-bit process sees apart).
    ScratchRegistry registry;
    const std::wstring uninstall = std::wstring(HostIs64() ? L"Software\\WOW6432Node\\" : L"Software\\") +
                                   L"Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    ScratchFolder folder{L"crowded uninstall"};
};

TEST_F(CrowdedUninstallKey, FiveThousandOtherProgramsLeaveTheListAsOnAnEmptyMachine)
{
    EnvironmentTable empty;
    empty.RunDetectionPass(L"在线文档", L"桌面路径");
    AddOtherPrograms(5000);
    EnvironmentTable crowded;
    crowded.RunDetectionPass(L"在线文档", L"桌面路径");
    EXPECT_EQ(Listed(crowded), Listed(empty));
}

TEST_F(CrowdedUninstallKey, DevCppEnumeratedAfterFiveThousandOthersIsStillFound)
{
    // Subkeys are enumerated in case-blind name order: "~" comes after the "{" of the others.
    AddOtherPrograms(5000);
    MakeFolders(folder / L"Dev-Cpp");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"~Dev-C++", L"DisplayName", L"Dev-C++");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"~Dev-C++", L"UninstallString",
                 folder / L"Dev-Cpp\\uninstall.exe");
    UninstallEntries uninstallEntries(HostIs64());
    EXPECT_EQ(FindIdeDir(devcppIde, uninstallEntries), folder / L"Dev-Cpp\\");
}

} // namespace
