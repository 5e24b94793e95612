// The path check on its own: which folder permissions count as administrators-only (real security
// descriptors made from SDDL), which paths are refused before anything is opened, who could have placed a
// tool chain's gcc, and the walk under a swap: the disk changed between two of its steps.
#include "install/FilePlacement.h"
#include "install/PathTrust.h"

#include "PlantedLink.h"
#include "support/ScratchFolder.h"
#include "support/Wine.h"
#include "win32/TextConversion.h"
#include "win32/UniqueHandles.h"

#include <gtest/gtest.h>
#include <aclapi.h>
#include <sddl.h>
#include <windows.h>

#include <memory>
#include <vector>

namespace
{

using namespace TestSupport;

const std::wstring trustedInstaller = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

bool AdmitsOnlyAdministrators(const std::wstring& sddl)
{
    UniqueLocalMemory descriptor;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        sddl.c_str(), SDDL_REVISION_1, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()), nullptr))
        << "SDDL not understood";
    return descriptor && AdmitsChangesOnlyByAdministrators(descriptor.get());
}

TEST(FolderPermissions, ProgramFilesAdmitsChangesOnlyByAdministrators)
{
    // "C:\Program Files" as Windows 10 sets it: users and app packages read, CREATOR OWNER inherit-only.
    EXPECT_TRUE(AdmitsOnlyAdministrators(
        L"O:" + trustedInstaller + L"D:P(A;;FA;;;" + trustedInstaller + L")(A;CIIO;GA;;;" + trustedInstaller +
        L")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)(A;;0x1200a9;;;BU)"
        L"(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;S-1-15-2-1)"));
}

TEST(FolderPermissions, DriveRootWhereUsersMayAddFoldersIsNotAdministratorsOnly)
{
    // "C:\": Authenticated Users may create folders in it (FILE_ADD_SUBDIRECTORY).
    EXPECT_FALSE(AdmitsOnlyAdministrators(
        L"O:SYD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;CI;0x4;;;AU)(A;CIIO;0x10000;;;AU)"));
}

TEST(FolderPermissions, FolderWhereUsersMayModifyIsNotAdministratorsOnly)
{
    EXPECT_FALSE(AdmitsOnlyAdministrators(L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1301bf;;;AU)"));
    EXPECT_FALSE(AdmitsOnlyAdministrators(L"O:BAD:(A;OICI;FA;;;BA)(A;;0x2;;;BU)")) << "add file";
    EXPECT_FALSE(AdmitsOnlyAdministrators(L"O:BAD:(A;OICI;FA;;;BA)(A;;0x40;;;BU)")) << "delete child";
    EXPECT_FALSE(AdmitsOnlyAdministrators(L"O:BAD:(A;OICI;FA;;;BA)(A;;WD;;;WD)")) << "change permissions";
    EXPECT_FALSE(AdmitsOnlyAdministrators(L"O:BAD:(A;OICI;FA;;;BA)(A;;GW;;;BU)")) << "generic write";
}

TEST(FolderPermissions, UserProfileIsNotAdministratorsOnly)
{
    const std::wstring user = L"S-1-5-21-1004336348-1177238915-682003330-1001";
    EXPECT_FALSE(AdmitsOnlyAdministrators(L"O:" + user + L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" +
                                          user + L")"));
}

TEST(FolderPermissions, AdministratorsOnlyDaclOwnedByAUserIsNotEnough)
{
    // The owner may always rewrite the DACL.
    EXPECT_FALSE(AdmitsOnlyAdministrators(L"O:BUD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"));
}

TEST(FolderPermissions, MissingDaclGrantsEveryoneEverything)
{
    // Made by hand: Wine's SDDL reader turns "D:NO_ACCESS_CONTROL" into an empty DACL, not a missing one.
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    unsigned char administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size));
    ASSERT_TRUE(SetSecurityDescriptorOwner(&descriptor, administrators, FALSE));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE));
    EXPECT_FALSE(AdmitsChangesOnlyByAdministrators(&descriptor));
}

TEST(FolderPermissions, DenyEntriesAndInheritOnlyEntriesDoNotCount)
{
    EXPECT_TRUE(
        AdmitsOnlyAdministrators(L"O:SYD:P(D;;FA;;;BU)(A;OICI;FA;;;BA)(A;OICIIO;FA;;;BU)(A;;0x1200a9;;;WD)"));
}

// Who could have placed a tool chain's gcc, decided on the descriptors along its path (root first, gcc.exe
// last) as Windows 10 sets them. "teacher" is the wizard's own user; "student" another.
const std::wstring teacher = L"S-1-5-21-1004336348-1177238915-682003330-1001";
const std::wstring student = L"S-1-5-21-1004336348-1177238915-682003330-1002";
const std::wstring driveRoot = L"O:" + trustedInstaller +
                               L"D:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;;0x4;;;AU)"
                               L"(A;OICIIO;SDGXGWGR;;;AU)";
const std::wstring programFiles =
    L"O:" + trustedInstaller + L"D:P(A;;FA;;;" + trustedInstaller + L")(A;CIIO;GA;;;" + trustedInstaller +
    L")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)"
    L"(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;AC)";
const std::wstring underProgramFiles = L"O:BAD:AI(A;ID;FA;;;SY)(A;ID;FA;;;BA)(A;ID;0x1200a9;;;BU)";
// What a folder an administrator made in C:\ inherits: Authenticated Users may modify it.
const std::wstring underDriveRoot =
    L"O:BAD:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1200a9;;;BU)(A;ID;0x1301bf;;;AU)";
const std::wstring users =
    L"O:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;;0x1200a9;;;WD)";
std::wstring Profile(const std::wstring& user)
{
    return L"O:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + user + L")";
}
std::wstring InProfile(const std::wstring& user)
{
    return L"O:" + user + L"D:AI(A;ID;FA;;;SY)(A;ID;FA;;;BA)(A;ID;FA;;;" + user + L")";
}

struct GccPlacementCase
{
    const char* name;
    std::vector<std::wstring> path; // SDDL of the root, each folder, bin and gcc.exe
    bool runsDeElevated;            // else sandboxed
};

class GccPlacement : public ::testing::TestWithParam<GccPlacementCase>
{
};

TEST_P(GccPlacement, DecidesWhoCouldHavePlacedIt)
{
    std::vector<UniqueLocalMemory> descriptors;
    std::vector<const void*> chain;
    for (const std::wstring& sddl : GetParam().path)
    {
        descriptors.emplace_back();
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
            sddl.c_str(), SDDL_REVISION_1, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptors.back().put()),
            nullptr))
            << WideToUtf8(sddl);
        chain.push_back(descriptors.back().get());
    }
    UniqueLocalMemory user;
    ASSERT_TRUE(ConvertStringSidToSidW(teacher.c_str(), reinterpret_cast<PSID*>(user.put())));
    EXPECT_EQ(OnlyTrustedCouldHavePlaced(chain, user.get()), GetParam().runsDeElevated);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GccPlacement,
    ::testing::Values(GccPlacementCase{"ProgramFiles",
                                       {driveRoot, programFiles, underProgramFiles, underProgramFiles,
                                        underProgramFiles},
                                       true},
                      GccPlacementCase{"MingwAtDriveRootThatAuthenticatedUsersMayModify",
                                       {driveRoot, underDriveRoot, underDriveRoot, underDriveRoot},
                                       false},
                      GccPlacementCase{"MingwAtDriveRootLockedToAdministrators",
                                       {driveRoot, underProgramFiles, underProgramFiles, underProgramFiles},
                                       true},
                      GccPlacementCase{"AnotherUsersProfile",
                                       {driveRoot, users, Profile(student), InProfile(student),
                                        InProfile(student), InProfile(student)},
                                       false},
                      GccPlacementCase{"TheWizardsOwnProfile",
                                       {driveRoot, users, Profile(teacher), InProfile(teacher),
                                        InProfile(teacher), InProfile(teacher)},
                                       true},
                      GccPlacementCase{"ProgramFilesWithABinFolderUsersMayAddFilesTo",
                                       {driveRoot, programFiles, underProgramFiles,
                                        underProgramFiles + L"(A;;0x2;;;BU)", underProgramFiles},
                                       false},
                      GccPlacementCase{"ProgramFilesWithAGccUsersMayWrite",
                                       {driveRoot, programFiles, underProgramFiles, underProgramFiles,
                                        underProgramFiles + L"(A;;0x2;;;BU)"},
                                       false},
                      GccPlacementCase{"AFolderAboveThatUsersMayDeleteEntriesOf",
                                       {driveRoot, programFiles + L"(A;;0x40;;;BU)", underProgramFiles,
                                        underProgramFiles, underProgramFiles},
                                       false},
                      GccPlacementCase{"NothingAboveTheFile", {underProgramFiles}, false}),
    [](const ::testing::TestParamInfo<GccPlacementCase>& info) { return std::string(info.param.name); });

TEST(TrustedFolders, LocalFolderIsReachedWithItsFullPath)
{
    ScratchFolder folder{L"trusted 文件夹"};
    MakeFolders(folder / L"a\\b");
    const TrustedFolder opened = OpenTrustedFolder(folder / L"a\\.\\x\\..\\b\\");
    EXPECT_EQ(opened.trust, FolderTrust::trusted);
    EXPECT_TRUE(SamePath(opened.path, folder / L"a\\b"));
    EXPECT_TRUE(opened.handle);
}

TEST(TrustedFolders, MissingFolderIsMissing)
{
    ScratchFolder folder{L"trusted"};
    EXPECT_EQ(OpenTrustedFolder(folder / L"absent\\deeper\\").trust, FolderTrust::missing);
}

TEST(TrustedFolders, FileOnTheWayIsNoFolder)
{
    ScratchFolder folder{L"trusted"};
    WriteTextFile(folder / L"file", "x");
    EXPECT_EQ(OpenTrustedFolder(folder / L"file\\").trust, FolderTrust::missing);
}

TEST(TrustedFolders, RemoteAndDevicePathsAreRefused)
{
    for (const wchar_t* path : {L"\\\\127.0.0.1\\c$\\VS\\include\\", L"\\\\?\\UNC\\server\\share\\x\\",
                                L"//server/share/x/", L"\\\\.\\C:\\x\\", L"\\\\?\\C:\\x\\", L"relative\\x\\"})
    {
        const TrustedFolder opened = OpenTrustedFolder(path);
        EXPECT_EQ(opened.trust, FolderTrust::refused) << path;
        EXPECT_FALSE(opened.handle) << path;
    }
}

// Lets Authenticated Users write the link's own attributes, and so its reparse data: they could retarget it.
bool LetUsersRetarget(const std::wstring& link)
{
    UniqueFile handle(CreateFileW(link.c_str(), READ_CONTROL | WRITE_DAC, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    UniqueLocalMemory descriptor;
    PACL dacl = nullptr;
    if (!handle ||
        GetSecurityInfo(handle.get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                        nullptr, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put())) != ERROR_SUCCESS)
        return false;
    unsigned char users[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof users;
    CreateWellKnownSid(WinAuthenticatedUserSid, nullptr, users, &size);
    EXPLICIT_ACCESSW access{};
    access.grfAccessPermissions = FILE_WRITE_ATTRIBUTES;
    access.grfAccessMode = GRANT_ACCESS;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.ptstrName = reinterpret_cast<LPWSTR>(users);
    UniqueLocalMemory widened;
    return SetEntriesInAclW(1, &access, dacl, reinterpret_cast<PACL*>(widened.put())) == ERROR_SUCCESS &&
           SetSecurityInfo(handle.get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                           static_cast<PACL>(widened.get()), nullptr) == ERROR_SUCCESS;
}

class LinksInAnAdministratorsOnlyFolder : public ::testing::TestWithParam<LinkKind>
{
protected:
    ScratchFolder folder{L"administrators' links"};
    ScratchFolder target{L"link target"};
};

TEST_P(LinksInAnAdministratorsOnlyFolder, AreFollowedUntilUsersMayRetargetThem)
{
    MakeFolders(target / L"include");
    PlantedLink link(folder / L"link", target / L"include", GetParam());
    ASSERT_TRUE(link.Made());
    if (!link.ReportedAsLink() || !AdmitOnlyAdministrators(folder.Path()))
        GTEST_SKIP()
            << "Wine makes no reparse point and keeps no folder DACL; on Windows (elevated) this shows "
               "that a link administrators made in an administrators-only folder is followed, and is "
               "refused once users may retarget it";
    const TrustedFolder followed = OpenTrustedFolder(folder / L"link\\");
    EXPECT_EQ(followed.trust, FolderTrust::trusted);
    EXPECT_TRUE(SamePath(followed.path, target / L"include"));
    ASSERT_TRUE(LetUsersRetarget(folder / L"link"));
    EXPECT_EQ(OpenTrustedFolder(folder / L"link\\").trust, FolderTrust::refused);
}

TEST(TrustedFolders, RelativeSymbolicLinkInAnAdministratorsOnlyFolderIsFollowedFromItsFolder)
{
    ScratchFolder folder{L"administrators' links"};
    MakeFolders(folder / L"shared\\include");
    const std::wstring link = folder / L"include";
    const bool made = CreateSymbolicLinkW(link.c_str(), L"shared\\include", SYMBOLIC_LINK_FLAG_DIRECTORY) &&
                      (GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!made || !AdmitOnlyAdministrators(folder.Path()))
        GTEST_SKIP()
            << "Wine makes no reparse point and keeps no folder DACL; on Windows (elevated) this shows "
               "that a relative symbolic link is followed from the folder that holds it";
    const TrustedFolder followed = OpenTrustedFolder(link);
    EXPECT_EQ(followed.trust, FolderTrust::trusted);
    EXPECT_TRUE(SamePath(followed.path, folder / L"shared\\include"));
    RemoveDirectoryW(link.c_str());
}

INSTANTIATE_TEST_SUITE_P(Links, LinksInAnAdministratorsOnlyFolder,
                         ::testing::Values(LinkKind::junction, LinkKind::symbolicLink));

// The seam runs between two steps of the walk, with the path reached so far: there the test renames or
// swaps what the walk has reached, or is about to reach.
class WalkUnderASwap : public ::testing::Test
{
protected:
    WalkUnderASwap()
    {
        MakeFolders(folder / L"a\\b\\c");
        MakeFolders(elsewhere / L"b\\c");
    }
    bool Rename(const std::wstring& from, const std::wstring& to)
    {
        return MoveFileExW((folder / from).c_str(), (folder / to).c_str(), 0) != FALSE;
    }

    ScratchFolder folder{L"swap"};
    ScratchFolder elsewhere{L"swap target"};
};

TEST_F(WalkUnderASwap, AnAncestorRenamedBetweenTwoStepsIsEitherHeldOrRefused)
{
    std::unique_ptr<PlantedLink> link;
    const WalkSeam seam = [&](const std::wstring& reached)
    {
        // After "a" and "b" are open, before "c" is: "a" is renamed, and a link to another tree that holds
        // "b\c" takes its name.
        if (SamePath(reached, folder / L"a\\b") && Rename(L"a", L"a-moved"))
            link = std::make_unique<PlantedLink>(folder / L"a", elsewhere.Path(), LinkKind::junction);
    };
    const std::wstring name = L"a\\b\\c";
    {
        const TrustedFolder opened = OpenTrustedFolder(folder / name, 0, seam);
        if (RunningUnderWine())
        {
            // Wine checks no share mode on folders: the rename goes through, and the walk, whose next step
            // does not lead where its path says, refuses.
            ASSERT_TRUE(link && link->Made());
            EXPECT_EQ(opened.trust, FolderTrust::refused);
        }
        else
        {
            // Held without share-delete, no folder on the way can be renamed while the walk lives.
            EXPECT_FALSE(link);
            EXPECT_EQ(opened.trust, FolderTrust::trusted);
            EXPECT_TRUE(SamePath(opened.path, folder / name));
            EXPECT_FALSE(Rename(name, name + L"-moved")) << "the folder reached is held as well";
        }
    }
    link.reset();
    const std::wstring now = RunningUnderWine() ? L"a-moved\\b\\c" : name;
    EXPECT_TRUE(Rename(now, now + L"-moved")) << "every handle is let go when the walk's result ends";
}

TEST_F(WalkUnderASwap, AFolderSwappedForALinkBeforeTheWalkReachesItIsRefused)
{
    std::unique_ptr<PlantedLink> link;
    const WalkSeam seam = [&](const std::wstring& reached)
    {
        // After "a" is open, "b" is moved away and a link to another "b" takes its name.
        if (link || !SamePath(reached, folder / L"a"))
            return;
        ASSERT_TRUE(Rename(L"a\\b", L"a\\b-moved"));
        link = std::make_unique<PlantedLink>(folder / L"a\\b", elsewhere / L"b", LinkKind::junction);
    };
    for (const bool file : {false, true})
    {
        link.reset();
        if (file)
        {
            ASSERT_TRUE(Rename(L"a\\b-moved", L"a\\b"));
            WriteTextFile(folder / L"a\\b\\c\\gcc.exe", "x");
            WriteTextFile(elsewhere / L"b\\c\\gcc.exe", "planted");
        }
        const FolderTrust trust =
            file ? OpenTrustedFile(folder / L"a\\b\\c\\gcc.exe", GENERIC_READ, seam).trust
                 : OpenTrustedFolder(folder / L"a\\b\\c", 0, seam).trust;
        ASSERT_TRUE(link && link->Made()) << file;
        EXPECT_EQ(trust, FolderTrust::refused) << file;
    }
}

} // namespace
