// Checked file operations on paths around MAX_PATH: below it a read, a copy and a delete work; at and beyond
// it a copy either works or reports the failure, and never leaves a part of the file behind.
#include "install/CheckedFileOps.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace
{

using namespace TestSupport;

class CheckedFileOpsLongPaths : public ::testing::Test
{
protected:
    // A file in the scratch folder whose full path has `length` characters.
    std::wstring PathOfLength(size_t length, wchar_t letter) const
    {
        const size_t name = length - folder.Path().size() - 2;
        return folder / (std::wstring(name, letter) + L".h");
    }

    ScratchFolder folder{L"长 路径"};
};

TEST_F(CheckedFileOpsLongPaths, TargetsAroundMaxPathAreCopiedWholeOrReportedAsFailed)
{
    for (size_t length = MAX_PATH - 8; length <= MAX_PATH + 8; ++length)
    {
        const std::wstring target = PathOfLength(length, L't');
        const std::wstring result = CopyReleaseFile("release header", target);
        if (length < MAX_PATH)
        {
            EXPECT_EQ(result, L"") << length;
        }
        if (result.empty())
        {
            EXPECT_EQ(ReadTextFile(target), "release header") << length;
            EXPECT_EQ(DeleteExistingFile(target), L"") << length;
        }
        else
        {
            EXPECT_EQ(result, L"安装失败") << length;
        }
        EXPECT_FALSE(PathExists(target)) << length;
    }
}

TEST_F(CheckedFileOpsLongPaths, SourcesJustBelowMaxPathAreReadAndCopiedWhole)
{
    const std::wstring target = folder / L"target.h";
    for (size_t length = MAX_PATH - 8; length <= MAX_PATH - 1; ++length)
    {
        const std::wstring source = PathOfLength(length, L's');
        WriteTextFile(source, "release library");
        std::string contents;
        EXPECT_TRUE(ReadCheckedFile(source, 100, contents)) << length;
        EXPECT_EQ(CopyReleaseFile(contents, target), L"") << length;
        EXPECT_EQ(ReadTextFile(target), "release library") << length;
        EXPECT_EQ(DeleteExistingFile(target), L"") << length;
    }
}

} // namespace
