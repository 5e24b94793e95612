#include "discovery/FolderSearch.h"

#include <gtest/gtest.h>

namespace
{

TEST(ParentOrSelf, DropsTheLastComponentButNeverTheRoot)
{
    EXPECT_EQ(ParentOrSelf(L"C:\\A\\B"), L"C:\\A");
    EXPECT_EQ(ParentOrSelf(L"C:\\A\\"), L"C:\\A");
    EXPECT_EQ(ParentOrSelf(L"C:\\A\\\\B"), L"C:\\A");
    EXPECT_EQ(ParentOrSelf(L"C:\\A"), L"C:\\");
    EXPECT_EQ(ParentOrSelf(L"C:\\"), L"C:\\");
    EXPECT_EQ(ParentOrSelf(L"\\\\server\\share\\tools"), L"\\\\server\\share\\");
    EXPECT_EQ(ParentOrSelf(L""), L"");
}

} // namespace
