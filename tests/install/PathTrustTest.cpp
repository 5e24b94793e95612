// The path check on its own: which folder permissions count as administrators-only (real security
// descriptors made from SDDL), and which paths are refused before anything is opened.
#include "install/PathTrust.h"

#include "support/ScratchFolder.h"
#include "win32/UniqueHandles.h"

#include <gtest/gtest.h>
#include <sddl.h>
#include <windows.h>

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

} // namespace
