#include "install/PayloadManifest.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace
{

TEST(PayloadManifest, ListsTheTwelveReleaseFilesInOrder)
{
    const std::wstring expected[12][2] = {
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
    };
    ASSERT_EQ(payloadFiles.size(), 12u);
    for (size_t i = 0; i < payloadFiles.size(); ++i)
    {
        EXPECT_EQ(payloadFiles[i].folder, expected[i][0]) << "entry " << i;
        EXPECT_EQ(payloadFiles[i].fileName, expected[i][1]) << "entry " << i;
    }
}

TEST(PayloadManifest, PayloadListsNameTheirFamilysPairsMultibyteFirst)
{
    const std::pair<const PayloadList*, std::wstring> lists[] = {
        {&headerFiles, L"include\\"},
        {&vc6X86Libs, L"lib_vs\\VC6\\x86\\"},
        {&vc2008X86Libs, L"lib_vs\\VC2008\\x86\\"},
        {&vc2015X86Libs, L"lib_vs\\VC2015\\x86\\"},
        {&vc2008X64Libs, L"lib_vs\\VC2008\\x64\\"},
        {&vc2015X64Libs, L"lib_vs\\VC2015\\x64\\"},
    };
    std::set<int> used;
    for (const auto& [list, folder] : lists)
    {
        for (int index : list->indices)
        {
            ASSERT_GE(index, 0);
            ASSERT_LT(index, 12);
            EXPECT_EQ(payloadFiles[index].folder, folder);
            used.insert(index);
        }
        if (list != &headerFiles)
        {
            EXPECT_STREQ(payloadFiles[list->indices[0]].fileName, L"Gravoa.lib");
            EXPECT_STREQ(payloadFiles[list->indices[1]].fileName, L"Gravow.lib");
        }
    }
    EXPECT_EQ(used.size(), 12u) << "every manifest entry belongs to exactly one list";
}

TEST(PayloadManifest, MingwSourcesKeepTheDevcppVariantToOneMultibyteLibrary)
{
    EXPECT_STREQ(mingwLib32Sources[0], L"lib_mingw\\lib32\\libgravo.a");
    EXPECT_STREQ(mingwLib32Sources[1], L"lib_mingw\\lib32\\libgravow.a");
    EXPECT_STREQ(mingwLib64Sources[0], L"lib_mingw\\lib64\\libgravo.a");
    EXPECT_STREQ(mingwLib64Sources[1], L"lib_mingw\\lib64\\libgravow.a");
    EXPECT_STREQ(mingwDevcpp54Source, L"lib_mingw\\lib-for-devcpp_5.4.0\\libgravo.a");
    EXPECT_STREQ(mingwHeaderSources[0], L"include\\gravo.h");
    EXPECT_STREQ(mingwHeaderSources[1], L"include\\graphics.h");
}

TEST(PayloadManifest, ReleaseFolderIsTheExecutablesFolder)
{
    const std::wstring folder = ReleaseFolder();
    EXPECT_EQ(folder, TestSupport::ProgramFolder());
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_EQ(PayloadSourcePath(L"C:\\Kit\\", 9), L"C:\\Kit\\lib_vs\\VC2015\\x86\\Gravow.lib");
}

} // namespace
