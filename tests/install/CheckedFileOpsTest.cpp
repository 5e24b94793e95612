#include "install/CheckedFileOps.h"

#include "support/ScratchFolder.h"
#include "support/Wine.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace
{

using namespace TestSupport;

class CheckedFileOps : public ::testing::TestWithParam<std::wstring>
{
protected:
    ScratchFolder folder{GetParam()};
};

TEST_P(CheckedFileOps, CopyOverwritesAnExistingTarget)
{
    WriteTextFile(folder / L"dest\\target.h", "old");
    EXPECT_EQ(CopyReleaseFile("new contents", folder / L"dest\\target.h"), L"");
    EXPECT_EQ(ReadTextFile(folder / L"dest\\target.h"), "new contents");
}

TEST_P(CheckedFileOps, CopyIntoAMissingFolderFailsAndCreatesNothing)
{
    EXPECT_EQ(CopyReleaseFile("x", folder / L"missing\\target.h"), L"安装失败");
    EXPECT_FALSE(PathExists(folder / L"missing"));
}

TEST_P(CheckedFileOps, ReadOfAMissingFileFails)
{
    std::string contents;
    EXPECT_FALSE(ReadCheckedFile(folder / L"absent.h", 100, contents));
    EXPECT_FALSE(ReadCheckedFile(folder / L"absent\\source.h", 100, contents));
}

TEST_P(CheckedFileOps, ReadTakesTheWholeFileUpToItsLimit)
{
    WriteTextFile(folder / L"source.h", "twelve bytes");
    std::string contents;
    EXPECT_TRUE(ReadCheckedFile(folder / L"source.h", 12, contents));
    EXPECT_EQ(contents, "twelve bytes");
    EXPECT_FALSE(ReadCheckedFile(folder / L"source.h", 11, contents));
}

TEST_P(CheckedFileOps, CopyOntoAReadOnlyTargetFailsAndKeepsIt)
{
    if (RunningUnderWine())
        GTEST_SKIP()
            << "Wine maps the read-only attribute to Unix permissions, which root bypasses on a copy";
    WriteTextFile(folder / L"target.h", "kept");
    SetFileAttributesW((folder / L"target.h").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CopyReleaseFile("new", folder / L"target.h"), L"安装失败");
    EXPECT_EQ(ReadTextFile(folder / L"target.h"), "kept");
}

TEST_P(CheckedFileOps, CopyOntoAFileOpenWithoutSharingFailsAndKeepsIt)
{
    WriteTextFile(folder / L"target.h", "kept");
    HANDLE open =
        CreateFileW((folder / L"target.h").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CopyReleaseFile("new", folder / L"target.h"), L"安装失败");
    CloseHandle(open);
    EXPECT_EQ(ReadTextFile(folder / L"target.h"), "kept");
}

TEST_P(CheckedFileOps, DeleteOfAnAbsentFileSucceeds)
{
    EXPECT_EQ(DeleteExistingFile(folder / L"absent.lnk"), L"");
}

TEST_P(CheckedFileOps, DeleteRemovesAnExistingFile)
{
    WriteTextFile(folder / L"Gravo_Help.lnk", "link");
    EXPECT_EQ(DeleteExistingFile(folder / L"Gravo_Help.lnk"), L"");
    EXPECT_FALSE(PathExists(folder / L"Gravo_Help.lnk"));
}

TEST_P(CheckedFileOps, DeleteOfAReadOnlyFileFails)
{
    WriteTextFile(folder / L"locked.lnk", "link");
    SetFileAttributesW((folder / L"locked.lnk").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(DeleteExistingFile(folder / L"locked.lnk"), L"操作失败。");
    EXPECT_TRUE(PathExists(folder / L"locked.lnk"));
}

TEST_P(CheckedFileOps, DeleteOfAFileOpenWithoutSharingFails)
{
    WriteTextFile(folder / L"open.lnk", "link");
    HANDLE open =
        CreateFileW((folder / L"open.lnk").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    EXPECT_EQ(DeleteExistingFile(folder / L"open.lnk"), L"操作失败。");
    CloseHandle(open);
    EXPECT_TRUE(PathExists(folder / L"open.lnk"));
}

TEST_P(CheckedFileOps, RemoteTargetsAreRefused)
{
    std::string contents;
    EXPECT_FALSE(ReadCheckedFile(L"\\\\127.0.0.1\\c$\\gravo.h", 100, contents));
    EXPECT_EQ(CopyReleaseFile("x", L"\\\\127.0.0.1\\c$\\gravo.h"), L"安装失败");
    EXPECT_EQ(DeleteExistingFile(L"\\\\127.0.0.1\\c$\\Gravo_Help.lnk"), L"操作失败。");
    EXPECT_EQ(DeleteExistingFile(L"\\\\?\\UNC\\server\\share\\Gravo_Help.lnk"), L"操作失败。");
}

TEST_P(CheckedFileOps, ReadOfAFileOpenWithoutSharingFails)
{
    WriteTextFile(folder / L"source.h", "new");
    HANDLE open =
        CreateFileW((folder / L"source.h").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    std::string contents;
    EXPECT_FALSE(ReadCheckedFile(folder / L"source.h", 100, contents));
    CloseHandle(open);
}

TEST_P(CheckedFileOps, CopyIsNotReadOnlyWhenItsSourceIs)
{
    WriteTextFile(folder / L"source.h", "from a CD");
    SetFileAttributesW((folder / L"source.h").c_str(), FILE_ATTRIBUTE_READONLY);
    std::string contents;
    ASSERT_TRUE(ReadCheckedFile(folder / L"source.h", 100, contents));
    EXPECT_EQ(CopyReleaseFile(contents, folder / L"target.h"), L"");
    EXPECT_EQ(ReadTextFile(folder / L"target.h"), "from a CD");
    EXPECT_EQ(GetFileAttributesW((folder / L"target.h").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(DeleteExistingFile(folder / L"target.h"), L"");
}

// Release folders are often download folders with spaces or Chinese names.
INSTANTIATE_TEST_SUITE_P(Folders, CheckedFileOps,
                         ::testing::Values(std::wstring(L"plain"), std::wstring(L"with spaces (x86)"),
                                           std::wstring(L"图形库 发布")));

} // namespace
