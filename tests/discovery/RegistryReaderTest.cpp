#include "discovery/RegistryReader.h"

#include "discovery/EnvironmentTable.h"

#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/Wine.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <tuple>

namespace
{

using namespace TestSupport;

const std::wstring uninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::wstring uninstall64 = L"Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::wstring sxs = L"Software\\Microsoft\\VisualStudio\\SxS\\VC7";
const std::wstring vc6Dirs =
    L"\\Software\\Microsoft\\DevStudio\\6.0\\Build System\\Components\\Platforms\\Win32 (x86)\\Directories";

// One lookup with a fresh walk of the Uninstall key, as a detection pass makes it.
std::wstring VcRoot(int version, bool hostIs64)
{
    UninstallEntries uninstall(hostIs64);
    return FindVcRootDir(version, hostIs64, uninstall);
}

std::wstring IdeDir(int ideIndex, bool hostIs64)
{
    UninstallEntries uninstall(hostIs64);
    return FindIdeDir(ideIndex, uninstall);
}

// Whether this process is a 32-bit one on a 64-bit host, which sees "Software\WOW6432Node\X" and "Software\X"
// as one key. A 64-bit process (the x86_64 build of these tests) sees two keys, as a 32-bit host does.
bool SeesWow6432NodeAsAnAlias()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

class RegistryReader : public ::testing::Test
{
protected:
    void AddUninstallEntry(const std::wstring& key, const std::wstring& displayName,
                           const std::wstring& valueName, const std::wstring& value,
                           const std::wstring& uninstallKey = uninstall)
    {
        SetRegString(HKEY_LOCAL_MACHINE, uninstallKey + key, L"DisplayName", displayName);
        SetRegString(HKEY_LOCAL_MACHINE, uninstallKey + key, valueName, value);
    }
    // A Visual Studio installation folder whose VC\Auxiliary\VS\ exists.
    std::wstring MakeVsInstallation(const std::wstring& name)
    {
        MakeFolders(folder / (name + L"\\VC\\Auxiliary\\VS"));
        return folder / name;
    }

    ScratchRegistry registry;
    ScratchFolder folder{L"registry reader"};
};

TEST_F(RegistryReader, SubkeyNamesOfUpTo254CharactersAreListed)
{
    const std::wstring name254(254, L'a');
    const std::wstring name255(255, L'b');
    CreateRegKey(HKEY_LOCAL_MACHINE, L"Software\\Names\\short");
    CreateRegKey(HKEY_LOCAL_MACHINE, L"Software\\Names\\" + name254);
    HKEY key = nullptr;
    const bool made255 = RegCreateKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\Names\\" + name255).c_str(), 0,
                                         nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS;
    if (made255)
        RegCloseKey(key);

    std::vector<std::wstring> names = EnumSubkeys(HKEY_LOCAL_MACHINE, L"Software\\Names");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{name254, L"short"}));
    EXPECT_TRUE(EnumSubkeys(HKEY_LOCAL_MACHINE, L"Software\\Missing").empty());
}

TEST_F(RegistryReader, ValuesReadUpTo1023CharactersAndLongerOnesReadAsEmpty)
{
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Values", L"Fits", std::wstring(1023, L'y'));
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Values", L"TooLong", std::wstring(1024, L'z'));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, L"Software\\Values", L"Fits"), std::wstring(1023, L'y'));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, L"Software\\Values", L"TooLong"), L"");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, L"Software\\Values", nullptr), L"");
}

TEST_F(RegistryReader, ValueFillingTheBufferExactlyReadsAs1024Characters)
{
    if (RunningUnderWine())
        GTEST_SKIP()
            << "Wine's RegQueryValueExW wants room for a terminator it adds to an unterminated string "
               "and fails the read; on Windows a REG_SZ value of 2048 bytes without a terminator "
               "reads as its 1024 characters";
    const std::wstring unterminated(1024, L'x');
    SetRegValue(HKEY_LOCAL_MACHINE, L"Software\\Values", L"Full", REG_SZ, unterminated.data(), 2048);
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, L"Software\\Values", L"Full"), unterminated);
}

TEST_F(RegistryReader, OnlyTextValuesAreReadAndExpandableOnesAreNotExpanded)
{
    const std::wstring text = L"C:\\Tools";
    const std::wstring list = text + L'\0' + L"D:\\Other" + L'\0';
    const DWORD number = 0x003a0043;
    SetRegValue(HKEY_LOCAL_MACHINE, L"Software\\Values", L"Expandable", REG_EXPAND_SZ, L"%SystemRoot%\\x",
                sizeof L"%SystemRoot%\\x");
    SetRegValue(HKEY_LOCAL_MACHINE, L"Software\\Values", L"Binary", REG_BINARY, text.c_str(),
                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    SetRegValue(HKEY_LOCAL_MACHINE, L"Software\\Values", L"List", REG_MULTI_SZ, list.c_str(),
                static_cast<DWORD>((list.size() + 1) * sizeof(wchar_t)));
    SetRegValue(HKEY_LOCAL_MACHINE, L"Software\\Values", L"Number", REG_DWORD, &number, sizeof number);

    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, L"Software\\Values", L"Expandable"), L"%SystemRoot%\\x");
    for (const wchar_t* name : {L"Binary", L"List", L"Number"})
        EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, L"Software\\Values", name), L"") << name;

    // A folder lookup takes no folder from a value that is not text.
    MakeFolders(folder / L"VS12\\VC");
    const std::wstring vc = folder / L"VS12\\VC";
    SetRegValue(HKEY_LOCAL_MACHINE, sxs, L"12.0", REG_BINARY, vc.c_str(),
                static_cast<DWORD>((vc.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(VcRoot(2013, false), L"");
}

TEST_F(RegistryReader, CurrentUserReadsTheLastUserHiveThatHasTheValue)
{
    SetRegString(HKEY_USERS, L"S-1-5-21-100\\Software\\Tool", L"Dir", L"first");
    SetRegString(HKEY_USERS, L"S-1-5-21-200\\Software\\Tool", L"Dir", L"second");
    SetRegString(HKEY_USERS, L"S-1-5-21-300_Classes\\Software\\Tool", L"Dir", L"class hive");
    SetRegString(HKEY_USERS, L".DEFAULT\\Software\\Tool", L"Dir", L"default user");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, L"Software\\Tool", L"Dir"), L"second");
}

TEST_F(RegistryReader, CurrentUserSkipsClassHivesAndNamesWithoutTheSidPrefix)
{
    SetRegString(HKEY_USERS, L"S-1-5-21-300_Classes\\Software\\Tool", L"Dir", L"class hive");
    SetRegString(HKEY_USERS, L"s-1-5-21-400\\Software\\Tool", L"Dir", L"lower-case prefix");
    SetRegString(HKEY_USERS, L".DEFAULT\\Software\\Tool", L"Dir", L"default user");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, L"Software\\Tool", L"Dir"), L"");
}

// One user's hive whose value is missing, too long or not text, before or after another user's good value.
enum class OddValue
{
    missing,
    tooLong,
    notText,
};

class OddUserHive : public RegistryReader, public ::testing::WithParamInterface<std::tuple<OddValue, bool>>
{
protected:
    void WriteOdd(const std::wstring& hive, const std::wstring& path, const std::wstring& name)
    {
        const std::wstring tooLong(1100, L'z');
        switch (std::get<0>(GetParam()))
        {
        case OddValue::missing:
            CreateRegKey(HKEY_USERS, hive + path);
            break;
        case OddValue::tooLong:
            SetRegString(HKEY_USERS, hive + path, name, tooLong);
            break;
        case OddValue::notText:
            SetRegDword(HKEY_USERS, hive + path, name, 7);
            break;
        }
    }
    // The odd hive enumerates first or last: S-1-5-21-100 comes before S-1-5-21-200.
    std::wstring OddHive() const { return std::get<1>(GetParam()) ? L"S-1-5-21-100" : L"S-1-5-21-200"; }
    std::wstring GoodHive() const { return std::get<1>(GetParam()) ? L"S-1-5-21-200" : L"S-1-5-21-100"; }
};

TEST_P(OddUserHive, DoesNotHideAnotherUsersValue)
{
    WriteOdd(OddHive(), L"\\Software\\Tool", L"Dir");
    SetRegString(HKEY_USERS, GoodHive() + L"\\Software\\Tool", L"Dir", L"good");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, L"Software\\Tool", L"Dir"), L"good");
}

TEST_P(OddUserHive, DoesNotHideAnotherUsersVisualCpp6)
{
    MakeFolders(folder / L"VS\\VC98");
    WriteOdd(OddHive(), vc6Dirs, L"Library Dirs");
    SetRegString(HKEY_USERS, GoodHive() + vc6Dirs, L"Library Dirs", folder / L"VS\\VC98\\MFC\\LIB");
    EXPECT_EQ(VcRoot(6, false), folder / L"VS\\VC98\\");
}

INSTANTIATE_TEST_SUITE_P(OddValues, OddUserHive,
                         ::testing::Combine(::testing::Values(OddValue::missing, OddValue::tooLong,
                                                              OddValue::notText),
                                            ::testing::Bool()));

TEST_F(RegistryReader, SideBySideValueGivesTheVcFolderWithABackslash)
{
    const std::wstring vc = folder / L"VS14\\VC";
    MakeFolders(vc);
    SetRegString(HKEY_LOCAL_MACHINE, sxs, L"14.0", vc);
    SetRegString(HKEY_LOCAL_MACHINE, sxs, L"12.0", folder / L"missing\\VC\\");

    EXPECT_EQ(VcRoot(2015, false), vc + L"\\");
    EXPECT_EQ(VcRoot(2013, false), L"");
    EXPECT_EQ(VcRoot(2005, false), L"");
}

TEST_F(RegistryReader, VisualStudioEditionsWithASuffixAreTakenButNotBuildTools)
{
    AddUninstallEntry(L"a", L"Visual Studio Build Tools 2019", L"InstallLocation",
                      MakeVsInstallation(L"BT2019"));
    AddUninstallEntry(L"b", L"Visual Studio Professional 2019 (3)", L"InstallLocation",
                      MakeVsInstallation(L"Pro"));
    AddUninstallEntry(L"c", L"visual studio community 2022", L"InstallLocation",
                      MakeVsInstallation(L"C2022") + L"\\");

    EXPECT_EQ(VcRoot(2019, false), folder / L"Pro\\VC\\Auxiliary\\VS\\");
    EXPECT_EQ(VcRoot(2022, false), folder / L"C2022\\VC\\Auxiliary\\VS\\");
    EXPECT_EQ(VcRoot(2026, false), L"");
}

TEST_F(RegistryReader, The2017PatternTakesNoBlankBeforeTheSuffix)
{
    AddUninstallEntry(L"a", L"Visual Studio Community 2017 (2)", L"InstallLocation",
                      MakeVsInstallation(L"Blank"));
    AddUninstallEntry(L"b", L"Visual Studio Enterprise 2017(2)", L"InstallLocation",
                      MakeVsInstallation(L"Tight"));
    EXPECT_EQ(VcRoot(2017, false), folder / L"Tight\\VC\\Auxiliary\\VS\\");
}

TEST_F(RegistryReader, FirstMatchingUninstallEntryWinsEvenWithoutAnInstallation)
{
    AddUninstallEntry(L"a", L"Visual Studio Community 2022", L"InstallLocation", folder / L"gone");
    AddUninstallEntry(L"b", L"Visual Studio Enterprise 2022", L"InstallLocation", MakeVsInstallation(L"Ent"));
    EXPECT_EQ(VcRoot(2022, false), L"");
}

TEST_F(RegistryReader, HostWidthSelectsTheWow64UninstallKey)
{
    AddUninstallEntry(L"a", L"Visual Studio Community 2019", L"InstallLocation", MakeVsInstallation(L"VS"),
                      uninstall64);
    EXPECT_EQ(VcRoot(2019, true), folder / L"VS\\VC\\Auxiliary\\VS\\");
    // Where the two builds differ: only where the two names are two keys can the 32-bit host's read be seen
    // to leave the WOW6432Node one alone.
    if (SeesWow6432NodeAsAnAlias())
        EXPECT_EQ(VcRoot(2019, false), folder / L"VS\\VC\\Auxiliary\\VS\\");
    else
        EXPECT_EQ(VcRoot(2019, false), L"");
}

TEST_F(RegistryReader, Vc6LibraryDirsNameTheVc98Folder)
{
    MakeFolders(folder / L"VS\\VC98");
    SetRegString(HKEY_USERS, L"S-1-5-21-100" + vc6Dirs, L"Library Dirs",
                 folder / L"VS\\VC98\\LIB;" + folder / L"VS\\VC98\\MFC\\LIB");
    EXPECT_EQ(VcRoot(6, false), folder / L"VS\\VC98\\");

    SetRegString(HKEY_USERS, L"S-1-5-21-100" + vc6Dirs, L"Library Dirs", folder / L"VS\\VC98\\LIB");
    EXPECT_EQ(VcRoot(6, false), L"");
}

TEST_F(RegistryReader, DevCppFolderIsTheUninstallerFolder)
{
    MakeFolders(folder / L"Dev-Cpp");
    AddUninstallEntry(L"Dev-C++", L"Dev-C++", L"UninstallString", folder / L"Dev-Cpp\\uninstall.exe");
    EXPECT_EQ(IdeDir(devcppIde, false), folder / L"Dev-Cpp\\");

    AddUninstallEntry(L"Dev-C++", L"Dev-C++", L"UninstallString",
                      L"\"" + folder / L"Dev-Cpp\\uninstall.exe\"");
    EXPECT_EQ(IdeDir(devcppIde, false), L"");
}

TEST_F(RegistryReader, ClionFolderIsItsBinFolder)
{
    MakeFolders(folder / L"CLion 2024.1\\bin");
    AddUninstallEntry(L"CLion 2024.1", L"CLion 2024.1", L"InstallLocation", folder / L"CLion 2024.1");
    EXPECT_EQ(IdeDir(clionIde, false), folder / L"CLion 2024.1\\bin\\");
}

TEST_F(RegistryReader, CfreeFolderIsTheInstallLocationUpToItsLastBackslash)
{
    MakeFolders(folder / L"C-Free 5");
    AddUninstallEntry(L"C-Free_is1", L"C-Free 5.0 Pro", L"InstallLocation", folder / L"C-Free 5\\");
    EXPECT_EQ(IdeDir(cfreeIde, false), folder / L"C-Free 5\\");
}

TEST_F(RegistryReader, CodeBlocksPathIsSearchedInEveryUserKey)
{
    MakeFolders(folder / L"CodeBlocks");
    SetRegString(HKEY_USERS, L"S-1-5-21-100_Classes\\SoftWare\\CodeBlocks", L"Path", folder / L"CodeBlocks");
    EXPECT_EQ(IdeDir(codeBlocksIde, false), folder / L"CodeBlocks\\");
    EXPECT_EQ(IdeDir(vscodeIde, false), L"");
    EXPECT_EQ(IdeDir(otherMingwIde, false), L"");
}

TEST_F(RegistryReader, CodeBlocksPathOfTheDefaultUserIsFound)
{
    MakeFolders(folder / L"CodeBlocks");
    SetRegString(HKEY_USERS, L".DEFAULT\\SoftWare\\CodeBlocks", L"Path", folder / L"CodeBlocks");
    EXPECT_EQ(IdeDir(codeBlocksIde, false), folder / L"CodeBlocks\\");
}

TEST_F(RegistryReader, NetworkAndDevicePathsFromTheRegistryAreNotTaken)
{
    // Each names an existing folder through a device path, which the file functions would follow.
    MakeFolders(folder / L"CodeBlocks");
    SetRegString(HKEY_USERS, L"S-1-5-21-100\\SoftWare\\CodeBlocks", L"Path",
                 L"\\\\?\\" + folder / L"CodeBlocks");
    EXPECT_EQ(IdeDir(codeBlocksIde, false), L"");
    SetRegString(HKEY_USERS, L"S-1-5-21-100\\SoftWare\\CodeBlocks", L"Path",
                 L"\\\\server\\share\\CodeBlocks");
    EXPECT_EQ(IdeDir(codeBlocksIde, false), L"");

    MakeFolders(folder / L"C-Free 5");
    AddUninstallEntry(L"C-Free_is1", L"C-Free 5.0 Pro", L"InstallLocation",
                      L"\\\\?\\" + folder / L"C-Free 5\\");
    EXPECT_EQ(IdeDir(cfreeIde, false), L"");
    AddUninstallEntry(L"C-Free_is1", L"C-Free 5.0 Pro", L"InstallLocation", L"//?/" + folder / L"C-Free 5\\");
    EXPECT_EQ(IdeDir(cfreeIde, false), L"");
    AddUninstallEntry(L"C-Free_is1", L"C-Free 5.0 Pro", L"InstallLocation",
                      L"\\\\.\\" + folder / L"C-Free 5\\");
    EXPECT_EQ(IdeDir(cfreeIde, false), L"");

    AddUninstallEntry(L"VS", L"Visual Studio Community 2022", L"InstallLocation",
                      L"\\\\?\\" + MakeVsInstallation(L"VS2022"));
    EXPECT_EQ(VcRoot(2022, false), L"");
    // The same folders named plainly are taken.
    AddUninstallEntry(L"C-Free_is1", L"C-Free 5.0 Pro", L"InstallLocation", folder / L"C-Free 5\\");
    EXPECT_EQ(IdeDir(cfreeIde, false), folder / L"C-Free 5\\");
}

TEST_F(RegistryReader, VisualStudioNamesOfEachYearAndEdition)
{
    EXPECT_TRUE(IsVisualStudioName(L"Visual Studio Community 2022", 2022));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Community 2022", 2019));
    EXPECT_TRUE(IsVisualStudioName(L"visual studio PROFESSIONAL 2026 (2)", 2026));
    EXPECT_TRUE(IsVisualStudioName(L"Visual Studio Enterprise 2017(2)", 2017));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Enterprise 2017 (2)", 2017));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Enterprise 2019(2)", 2019));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Build Tools 2022", 2022));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Community", 2022));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Community 202", 2022));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio ", 2022));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Community 2022 (x) ", 2022));
    EXPECT_FALSE(IsVisualStudioName(L"Microsoft Visual Studio Community 2022", 2022));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Community  2022", 2022));
}

TEST_F(RegistryReader, VisualStudioNamesOfEveryLength)
{
    const std::wstring inner(1000, L'x');
    EXPECT_TRUE(IsVisualStudioName(L"Visual Studio Community 2019 (" + inner + L")", 2019));
    EXPECT_TRUE(IsVisualStudioName(L"VISUAL STUDIO enterprise 2017(" + inner + L")", 2017));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Community 2017 (" + inner + L")", 2017));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Community 2019 (" + inner + L")x", 2019));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Community 2019 (a)b)", 2019));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Community 2019 ()", 2019));
    EXPECT_FALSE(IsVisualStudioName(L"Visual Studio Community 20190", 2019));
    EXPECT_TRUE(IsVisualStudioName(L"Visual Studio Professional 2026 (a\nb)", 2026));
    EXPECT_FALSE(IsVisualStudioName(std::wstring(1024, L'V'), 2022));
}

TEST_F(RegistryReader, Vc6LibraryDirsOfTheLongestValueAreSearchedToTheirEnd)
{
    MakeFolders(folder / L"VS\\VC98");
    std::wstring list;
    while (list.size() < 700)
        list += L"C:\\nothing\\here;";
    SetRegString(HKEY_USERS, L"S-1-5-21-100" + vc6Dirs, L"Library Dirs",
                 list + folder / L"VS\\VC98\\MFC\\LIB;" + folder / L"other\\VC98\\MFC\\LIB");
    EXPECT_EQ(VcRoot(6, false), folder / L"VS\\VC98\\");
}

} // namespace

namespace
{

struct HostCase
{
    const wchar_t* architecture;
    bool is64;
};

class HostWidth : public ::testing::TestWithParam<HostCase>
{
protected:
    TestSupport::ScratchRegistry registry;
};

TEST_P(HostWidth, OnlyAmd64IsA64BitHost)
{
    if (*GetParam().architecture != L'\0')
        TestSupport::SetRegString(HKEY_LOCAL_MACHINE,
                                  L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
                                  L"PROCESSOR_ARCHITECTURE", GetParam().architecture);
    EXPECT_EQ(HostIs64(), GetParam().is64);
}

INSTANTIATE_TEST_SUITE_P(Architectures, HostWidth,
                         ::testing::Values(HostCase{L"AMD64", true}, HostCase{L"amd64", false},
                                           HostCase{L"x86", false}, HostCase{L"ARM64", false},
                                           HostCase{L"AMD64 ", false}, HostCase{L"", false}));

} // namespace
