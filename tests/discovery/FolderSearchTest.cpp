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

TEST(NetworkOrDevicePath, IsToldFromALocalPath)
{
    for (const wchar_t* path :
         {L"\\\\server\\share\\tools", L"//server/share", L"\\\\?\\C:\\Tools", L"\\\\.\\C:\\Tools",
          L"\\??\\C:\\Tools", L"/\\server\\share", L"\\\\?\\UNC\\server\\share"})
        EXPECT_TRUE(IsNetworkOrDevicePath(path)) << path;
    for (const wchar_t* path : {L"C:\\Tools", L"C:\\", L"\\Tools", L"Tools\\bin", L""})
        EXPECT_FALSE(IsNetworkOrDevicePath(path)) << path;
}

} // namespace
