#include "discovery/EnvironmentTable.h"

#include "../install/PlantedLink.h"
#include "FakeInstallations.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace
{

using namespace TestSupport;
using namespace FakeInstallations;

const std::wstring uninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::wstring sxs = L"Software\\Microsoft\\VisualStudio\\SxS\\VC7";

class DetectionPass : public ::testing::Test
{
protected:
    std::vector<std::wstring> ListedNames() const
    {
        std::vector<std::wstring> names;
        for (const EnvListEntry* entry : table.displayList)
            names.push_back(entry->displayName);
        return names;
    }
    const EnvListEntry& Listed(const std::wstring& displayName) const
    {
        for (const EnvListEntry* entry : table.displayList)
        {
            if (entry->displayName == displayName)
                return *entry;
        }
        ADD_FAILURE() << "not listed";
        return *table.displayList.front();
    }
    // A 2008-2015 "VC" folder with include\ and lib\, and lib\amd64\ when asked.
    std::wstring MakeVcFolder(const std::wstring& name, bool with64BitLibraries)
    {
        const std::wstring vc = folder / (name + L"\\VC\\");
        MakeFolders(vc, {L"include", L"lib"});
        if (with64BitLibraries)
            MakeFolders(vc, {L"lib\\amd64"});
        return vc;
    }
    std::wstring MakeVsInstallation(const std::wstring& name)
    {
        const std::wstring vs = folder / (name + L"\\VC\\Auxiliary\\VS\\");
        MakeFolders(vs, {L"include", L"lib\\x86", L"lib\\x64"});
        return vs;
    }

    ScratchRegistry registry;
    ScratchFolder folder{L"detection pass"};
    EnvironmentTable table;
    const std::wstring documentationLine1 = L"在线文档 https://docs.example";
    const std::wstring documentationLine2 = L"桌面路径 D:\\Desk\\";
};

TEST_F(DetectionPass, NothingInstalledListsEveryEnvironmentUndetected)
{
    table.RunDetectionPass(documentationLine1, documentationLine2);
    EXPECT_EQ(ListedNames(),
              (std::vector<std::wstring>{L"  Gravo 文档", L"  Visual C++ 6.0", L"  Visual C++ 2008",
                                         L"  Visual C++ 2010", L"  Visual C++ 2012", L"  Visual C++ 2013",
                                         L"  Visual C++ 2015", L"  Visual C++ 2017", L"  Visual C++ 2019",
                                         L"  Visual C++ 2022", L"  Visual C++ 2026", L"  DevCpp", L"  CLion",
                                         L"  CodeBlocks", L"  C-Free", L"  其它 MinGW"}));
    const EnvListEntry& documentation = *table.displayList.front();
    EXPECT_EQ(documentation.infoLine1, documentationLine1);
    EXPECT_EQ(documentation.infoLine2, documentationLine2);
    EXPECT_TRUE(documentation.detected);
    for (size_t i = 1; i < table.displayList.size(); ++i)
    {
        const EnvListEntry& entry = *table.displayList[i];
        EXPECT_FALSE(entry.detected) << i;
        EXPECT_EQ(entry.statusText, L"（未检测到）") << i;
        EXPECT_EQ(entry.isMingw, i > 10) << i;
    }
    EXPECT_EQ(table.displayList.back()->rowIndex, 5);
}

TEST_F(DetectionPass, MixedInstallationKeepsTableOrderAndShowsTheRefusal)
{
    // 2022 is enumerated before 2019; the list still shows 2019 first.
    const std::wstring vs2022 = MakeVsInstallation(L"VS2022");
    const std::wstring vs2019 = MakeVsInstallation(L"VS2019");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"A", L"DisplayName", L"Visual Studio Community 2022");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"A", L"InstallLocation", folder / L"VS2022");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"B", L"DisplayName", L"Visual Studio Community 2019");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"B", L"InstallLocation", folder / L"VS2019\\");

    const std::wstring vc98 = folder / L"VS6\\VC98\\";
    MakeFolders(vc98, {L"Include", L"Lib"});
    SetRegString(HKEY_USERS,
                 L"S-1-5-21-1001\\Software\\Microsoft\\DevStudio\\6.0\\Build System\\Components\\Platforms\\"
                 L"Win32 (x86)\\Directories",
                 L"Library Dirs", vc98 + L"LIB;" + vc98 + L"MFC\\LIB");

    const std::wstring devcppBase = folder / L"Dev-Cpp\\MinGW64\\x86_64-w64-mingw32\\";
    InstallStandInGcc(folder / L"Dev-Cpp\\MinGW64\\bin\\", L"x86_64-posix-seh-msvcrt-gcc8.1.0.txt");
    MakeFolders(devcppBase, {L"include", L"lib", L"lib32"});
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"Dev-C++", L"DisplayName", L"Dev-C++");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"Dev-C++", L"UninstallString",
                 folder / L"Dev-Cpp\\uninstall.exe");

    InstallStandInGcc(folder / L"CLion\\bin\\mingw\\bin\\",
                      L"msys2-ucrt64-x86_64-posix-seh-ucrt-gcc15.2.0.txt");
    MakeFolders(folder / L"CLion\\bin\\mingw\\x86_64-w64-mingw32\\", {L"include", L"lib"});
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"CLion", L"DisplayName", L"CLion 2024.3");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"CLion", L"InstallLocation", folder / L"CLion");

    table.RunDetectionPass(documentationLine1, documentationLine2);

    EXPECT_EQ(ListedNames(),
              (std::vector<std::wstring>{L"  Gravo 文档", L"  Visual C++ 6.0", L"  Visual C++ 2019",
                                         L"  Visual C++ 2022", L"  DevCpp", L"  CLion", L"  Visual C++ 2008",
                                         L"  Visual C++ 2010", L"  Visual C++ 2012", L"  Visual C++ 2013",
                                         L"  Visual C++ 2015", L"  Visual C++ 2017", L"  Visual C++ 2026",
                                         L"  CodeBlocks", L"  C-Free", L"  其它 MinGW"}));
    EXPECT_EQ(Listed(L"  Visual C++ 6.0").infoLine2, L"库文件路径 " + vc98 + L"Lib\\");
    EXPECT_EQ(Listed(L"  Visual C++ 2019").infoLine1, L"头文件路径 " + vs2019 + L"include\\");
    EXPECT_EQ(Listed(L"  Visual C++ 2022").infoLine2,
              L"库文件路径 " + vs2022 + L"lib\\x86\\ " + vs2022 + L"lib\\x64\\");
    EXPECT_EQ(table.vcRows[vc2022Row]->rootDir, vs2022);
    EXPECT_EQ(table.vcRows[vc6Row]->libSubdirX64, L"");

    EXPECT_TRUE(Listed(L"  DevCpp").detected);
    EXPECT_EQ(Listed(L"  DevCpp").infoLine2,
              L"库文件路径 " + devcppBase + L"lib32\\ " + devcppBase + L"lib\\");
    EXPECT_EQ(table.mingwRows[0]->rootDir, devcppBase);
    EXPECT_FALSE(Listed(L"  CLion").detected);
    EXPECT_EQ(Listed(L"  CLion").statusText, L"（不支持的 mignw64_xxx_ucrt 版本）");
}

TEST_F(DetectionPass, GenerationWithoutIncludeFolderIsUndetected)
{
    const std::wstring vc = folder / L"VS12\\VC\\";
    MakeFolders(vc + L"lib");
    SetRegString(HKEY_LOCAL_MACHINE, sxs, L"12.0", vc);
    table.RunDetectionPass(documentationLine1, documentationLine2);
    EXPECT_FALSE(Listed(L"  Visual C++ 2013").detected);
    EXPECT_EQ(table.vcRows[vc2013Row]->rootDir, L"");
    EXPECT_EQ(table.vcRows[vc2013Row]->libSubdirX86, L"");
}

TEST_F(DetectionPass, GenerationWithoutAmd64LibrariesShowsOnlyThe32BitFolder)
{
    const std::wstring vc = MakeVcFolder(L"VS9", false);
    SetRegString(HKEY_LOCAL_MACHINE, sxs, L"9.0", vc);
    table.RunDetectionPass(documentationLine1, documentationLine2);
    EXPECT_TRUE(Listed(L"  Visual C++ 2008").detected);
    EXPECT_EQ(Listed(L"  Visual C++ 2008").infoLine2, L"库文件路径 " + vc + L"lib\\");
    EXPECT_EQ(table.vcRows[vc2008Row]->libSubdirX64, L"");
}

TEST_F(DetectionPass, AutomaticSearchNeverAsksForTheDevCpp54Libraries)
{
    // Dev-C++ 5.4 with a plain mingw32 tool chain, and C-Free: both would take the variant when chosen by
    // hand.
    CopyProgram(L"versioned-5.4.exe", folder / L"Dev-Cpp\\devcpp.exe");
    for (const std::wstring& root : {folder / L"Dev-Cpp\\MinGW32\\", folder / L"C-Free 5\\mingw\\"})
    {
        InstallStandInGcc(root + L"bin\\", L"mingw32-win32-dwarf-mingw.org-gcc6.3.0.txt");
        MakeFiles(root, {L"bin\\libgcc_s_dw2-1.dll"});
        MakeFolders(root, {L"include", L"lib", L"mingw32\\bin", L"mingw32\\lib"});
    }
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"Dev-C++", L"DisplayName", L"Dev-C++");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"Dev-C++", L"UninstallString",
                 folder / L"Dev-Cpp\\uninstall.exe");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"C-Free_is1", L"DisplayName", L"C-Free 5.0 Pro");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"C-Free_is1", L"InstallLocation", folder / L"C-Free 5\\");

    table.RunDetectionPass(documentationLine1, documentationLine2);
    EXPECT_TRUE(Listed(L"  DevCpp").detected);
    EXPECT_TRUE(Listed(L"  C-Free").detected);
    EXPECT_FALSE(table.mingwRows[0]->devcpp54Libs);
    EXPECT_FALSE(table.mingwRows[4]->devcpp54Libs);
}

TEST_F(DetectionPass, OneUninstallKeyServesEveryLookupInEnumerationOrder)
{
    // The last lookup of the pass's one walk still takes the first matching subkey in enumeration order.
    const std::wstring first = MakeVsInstallation(L"First");
    MakeVsInstallation(L"Second");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"A", L"DisplayName", L"Visual Studio Community 2026");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"A", L"InstallLocation", folder / L"First");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"B", L"DisplayName", L"Visual Studio Enterprise 2026");
    SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"B", L"InstallLocation", folder / L"Second");
    table.RunDetectionPass(documentationLine1, documentationLine2);
    EXPECT_EQ(table.vcRows[vc2026Row]->rootDir, first);
}

TEST_F(DetectionPass, CodeBlocksFolderThatIsAPlantedLinkIsNotFoundAndItsGccIsNotRun)
{
    // Only the tool chain's own gcc can tell that its runtime is ucrt: the refusal on the line shows that
    // gcc ran.
    ScratchFolder elsewhere{L"planted tool chain"};
    InstallStandInGcc(elsewhere / L"CodeBlocks\\MinGW\\bin\\",
                      L"msys2-ucrt64-x86_64-posix-seh-ucrt-gcc15.2.0.txt");
    MakeFolders(elsewhere / L"CodeBlocks\\MinGW\\x86_64-w64-mingw32\\", {L"include", L"lib"});
    const std::wstring codeBlocksKey = L"S-1-5-21-1001\\SoftWare\\CodeBlocks";
    SetRegString(HKEY_USERS, codeBlocksKey, L"Path", elsewhere / L"CodeBlocks");
    table.RunDetectionPass(documentationLine1, documentationLine2);
    ASSERT_EQ(Listed(L"  CodeBlocks").statusText, L"（不支持的 mignw64_xxx_ucrt 版本）")
        << "reached directly, the tool chain is found and its gcc runs";

    // The same tool chain behind a link in a folder that ordinary users may change.
    PlantedLink link(folder / L"CodeBlocks", elsewhere / L"CodeBlocks", LinkKind::junction);
    ASSERT_TRUE(link.Made());
    SetRegString(HKEY_USERS, codeBlocksKey, L"Path", folder / L"CodeBlocks");
    table.RunDetectionPass(documentationLine1, documentationLine2);
    EXPECT_FALSE(Listed(L"  CodeBlocks").detected);
    EXPECT_EQ(Listed(L"  CodeBlocks").statusText, L"（未检测到）");
    EXPECT_EQ(Listed(L"  CodeBlocks").infoLine1, L"");
    EXPECT_EQ(table.mingwRows[codeBlocksIde]->rootDir, L"");
}

} // namespace
