#include "discovery/FolderSearch.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace
{

using namespace TestSupport;

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

TEST(FolderSearch, NamedSubfolderIsSpelledAsAskedAndFilesDoNotCount)
{
    ScratchFolder folder;
    MakeFolders(folder / L"vc");
    WriteTextFile(folder / L"bin", "a file, not a folder");
    EXPECT_EQ(FindSubdirNamed(folder.Path(), L"VC"), folder / L"VC\\");
    EXPECT_EQ(FindSubdirNamed(folder.Path(), L"bin"), L"");
    EXPECT_EQ(FindSubdirNamed(folder / L"missing\\", L"VC"), L"");
}

TEST(FolderSearch, MatchingSubfolderIsSpelledAsListed)
{
    ScratchFolder folder;
    MakeFolders(folder / L"MinGW64");
    WriteTextFile(folder / L"mingw-notes.txt", "");
    const std::wregex mingw(L"^.*?mingw.*?$", std::regex::ECMAScript | std::regex::icase);
    EXPECT_EQ(FindSubdirMatching(folder.Path(), mingw), folder / L"MinGW64\\");
}

TEST(FolderSearch, FirstMatchTakesFilesAndAddsTheBackslash)
{
    ScratchFolder folder;
    WriteTextFile(folder / L"libgcc_s_dw2-1.dll", "");
    const std::wregex dw2(LR"(^libgcc_s_dw2.*?-1\.dll$)", std::regex::ECMAScript | std::regex::icase);
    std::wstring withoutBackslash = folder.Path();
    withoutBackslash.pop_back();
    EXPECT_EQ(FindFirstMatch(withoutBackslash, dw2), folder / L"libgcc_s_dw2-1.dll");
    EXPECT_EQ(FindFirstMatch(folder / L"missing", dw2), L"");
}

} // namespace
