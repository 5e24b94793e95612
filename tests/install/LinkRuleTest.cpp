// The "follow this link?" rule on its own, on hand-made reparse data and on real security descriptors made
// from SDDL: Wine makes no reparse points and keeps no folder DACL, so these decisions are reached only here.
#include "install/LinkRule.h"

#include "win32/UniqueHandles.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace
{

constexpr unsigned long mountPointTag = 0xA0000003;
constexpr unsigned long symbolicLinkTag = 0xA000000C;
constexpr unsigned long appExecLinkTag = 0x8000001B;
const std::wstring volume = L"Volume{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}";

void Put(std::vector<unsigned char>& data, size_t at, const void* value, size_t size)
{
    std::memcpy(data.data() + at, value, size);
}

// A REPARSE_DATA_BUFFER as the file system returns it: tag, data length, reserved, the offsets and lengths
// of the substitute and print names, the symbolic link's flags, then both names, each terminated.
std::vector<unsigned char> ReparseData(unsigned long tag, const std::wstring& substitute,
                                       const std::wstring& print, unsigned long flags = 0)
{
    const bool symbolicLink = tag == symbolicLinkTag;
    const size_t pathBuffer = symbolicLink ? 20 : 16;
    const size_t substituteBytes = substitute.size() * sizeof(wchar_t);
    const size_t printBytes = print.size() * sizeof(wchar_t);
    std::vector<unsigned char> data(pathBuffer + substituteBytes + printBytes + 2 * sizeof(wchar_t));
    const uint32_t tag32 = static_cast<uint32_t>(tag);
    const uint16_t words[] = {static_cast<uint16_t>(data.size() - 8),
                              0,
                              0,
                              static_cast<uint16_t>(substituteBytes),
                              static_cast<uint16_t>(substituteBytes + sizeof(wchar_t)),
                              static_cast<uint16_t>(printBytes)};
    Put(data, 0, &tag32, sizeof tag32);
    Put(data, 4, words, sizeof words);
    if (symbolicLink)
    {
        const uint32_t flags32 = static_cast<uint32_t>(flags);
        Put(data, 16, &flags32, sizeof flags32);
    }
    Put(data, pathBuffer, substitute.c_str(), substituteBytes);
    Put(data, pathBuffer + substituteBytes + sizeof(wchar_t), print.c_str(), printBytes);
    return data;
}

LinkTarget Parse(const std::vector<unsigned char>& data)
{
    return ParseReparseData(data.data(), data.size());
}

struct ParseCase
{
    const char* what;
    std::vector<unsigned char> data;
    LinkTargetKind kind;
    std::wstring path;
    std::wstring volume;
};

TEST(ReparseData, EveryLayoutIsReadOrRefused)
{
    const ParseCase cases[] = {
        {"junction", ReparseData(mountPointTag, L"\\??\\C:\\VS\\VC", L"C:\\VS\\VC"),
         LinkTargetKind::drivePath, L"C:\\VS\\VC", L""},
        {"absolute symbolic link", ReparseData(symbolicLinkTag, L"\\??\\D:\\tools", L"D:\\tools"),
         LinkTargetKind::drivePath, L"D:\\tools", L""},
        {"relative symbolic link",
         ReparseData(symbolicLinkTag, L"..\\shared\\mingw", L"..\\shared\\mingw", 1),
         LinkTargetKind::relative, L"..\\shared\\mingw", L""},
        {"volume mount point", ReparseData(mountPointTag, L"\\??\\" + volume + L"\\", L""),
         LinkTargetKind::volume, L"", volume},
        {"path below a volume", ReparseData(symbolicLinkTag, L"\\??\\" + volume + L"\\VS\\VC", L"x"),
         LinkTargetKind::volume, L"VS\\VC", volume},
        {"remote symbolic link",
         ReparseData(symbolicLinkTag, L"\\??\\UNC\\server\\share", L"\\\\server\\share"),
         LinkTargetKind::unreadable, L"", L""},
        {"device path", ReparseData(mountPointTag, L"\\??\\GLOBALROOT\\Device\\HarddiskVolume2\\", L""),
         LinkTargetKind::unreadable, L"", L""},
        {"not a volume name", ReparseData(mountPointTag, L"\\??\\Volume{xyz}\\", L""),
         LinkTargetKind::unreadable, L"", L""},
        {"relative link naming a root", ReparseData(symbolicLinkTag, L"\\Windows", L"\\Windows", 1),
         LinkTargetKind::unreadable, L"", L""},
        {"relative link naming a drive", ReparseData(symbolicLinkTag, L"C:x", L"C:x", 1),
         LinkTargetKind::unreadable, L"", L""},
        {"unknown tag", ReparseData(appExecLinkTag, L"\\??\\C:\\x", L"C:\\x"), LinkTargetKind::unreadable,
         L"", L""},
        {"empty target", ReparseData(mountPointTag, L"", L""), LinkTargetKind::unreadable, L"", L""},
    };
    for (const ParseCase& c : cases)
    {
        const LinkTarget target = Parse(c.data);
        EXPECT_EQ(target.kind, c.kind) << c.what;
        EXPECT_EQ(target.path, c.path) << c.what;
        EXPECT_EQ(target.volume, c.volume) << c.what;
    }
}

TEST(ReparseData, TruncatedOrInconsistentBuffersAreRefused)
{
    for (const auto& data : {ReparseData(mountPointTag, L"\\??\\C:\\VS", L"C:\\VS"),
                             ReparseData(symbolicLinkTag, L"\\??\\C:\\VS", L"C:\\VS")})
    {
        ASSERT_EQ(Parse(data).kind, LinkTargetKind::drivePath);
        // Cut anywhere: the data length then runs past what was read.
        for (size_t size = 0; size < data.size(); ++size)
            EXPECT_EQ(ParseReparseData(data.data(), size).kind, LinkTargetKind::unreadable) << size;

        std::vector<unsigned char> lying = data;
        lying[4] = 0xFF; // a data length beyond the buffer
        lying[5] = 0x7F;
        EXPECT_EQ(Parse(lying).kind, LinkTargetKind::unreadable);
        std::vector<unsigned char> beyond = data;
        beyond[8] = 0xF0; // a substitute name that starts beyond the data
        EXPECT_EQ(Parse(beyond).kind, LinkTargetKind::unreadable);
        std::vector<unsigned char> odd = data;
        odd[10] = static_cast<unsigned char>(odd[10] - 1); // half a character
        EXPECT_EQ(Parse(odd).kind, LinkTargetKind::unreadable);
    }
    EXPECT_EQ(ParseReparseData(nullptr, 100).kind, LinkTargetKind::unreadable);
}

TEST(VolumeKinds, AreToldAsGetDriveTypeTellsThem)
{
    EXPECT_EQ(VolumeKindFromDevice(0x07, 0), VolumeKind::fixed);       // disk
    EXPECT_EQ(VolumeKindFromDevice(0x08, 0), VolumeKind::fixed);       // disk file system
    EXPECT_EQ(VolumeKindFromDevice(0x07, 0x1), VolumeKind::removable); // a USB stick
    EXPECT_EQ(VolumeKindFromDevice(0x07, 0x10), VolumeKind::remote);   // a disk shared over the network
    EXPECT_EQ(VolumeKindFromDevice(0x02, 0), VolumeKind::removable);   // CD-ROM
    EXPECT_EQ(VolumeKindFromDevice(0x33, 0), VolumeKind::removable);   // DVD
    EXPECT_EQ(VolumeKindFromDevice(0x14, 0), VolumeKind::remote);      // network file system
    EXPECT_EQ(VolumeKindFromDevice(0x24, 0), VolumeKind::other);       // virtual disk
    EXPECT_EQ(VolumeKindFromDevice(0x99, 0), VolumeKind::other);
}

UniqueLocalMemory Descriptor(const std::wstring& sddl)
{
    UniqueLocalMemory descriptor;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        sddl.c_str(), SDDL_REVISION_1, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()), nullptr))
        << "SDDL not understood";
    return descriptor;
}

const std::wstring trustedInstaller = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
// "C:\Program Files" as Windows 10 sets it.
const std::wstring programFiles =
    L"O:" + trustedInstaller + L"D:P(A;;FA;;;" + trustedInstaller +
    L")(A;;0x1301bf;;;SY)(A;;0x1301bf;;;BA)(A;;0x1200a9;;;BU)(A;OICIIO;GA;;;CO)";
// "C:\": Authenticated Users may create folders in it.
const std::wstring driveRoot = L"O:SYD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;CI;0x4;;;AU)";
// A junction an administrator made: only administrators and SYSTEM may change it.
const std::wstring administratorsLink = L"O:BAD:(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1200a9;;;AU)";

struct LinkCase
{
    const char* what;
    std::wstring holder;
    std::wstring link;
    VolumeKind volume;
    std::vector<unsigned char> data;
    LinkVerdict verdict;
};

TEST(LinkDecisions, EveryReasonToRefuseALinkIsTold)
{
    const auto junction = ReparseData(mountPointTag, L"\\??\\D:\\VS", L"D:\\VS");
    const LinkCase cases[] = {
        {"made and kept by administrators", programFiles, administratorsLink, VolumeKind::fixed, junction,
         LinkVerdict::follow},
        {"to a volume", programFiles, administratorsLink, VolumeKind::fixed,
         ReparseData(mountPointTag, L"\\??\\" + volume + L"\\", L""), LinkVerdict::follow},
        {"in a folder users may add to", driveRoot, administratorsLink, VolumeKind::fixed, junction,
         LinkVerdict::holderChangeableByUsers},
        {"users may write its reparse data", programFiles, administratorsLink + L"(A;;0x2;;;BU)",
         VolumeKind::fixed, junction, LinkVerdict::linkChangeableByUsers},
        {"users may write its attributes", programFiles, administratorsLink + L"(A;;0x100;;;AU)",
         VolumeKind::fixed, junction, LinkVerdict::linkChangeableByUsers},
        {"users may delete it", programFiles, administratorsLink + L"(A;;SD;;;BU)", VolumeKind::fixed,
         junction, LinkVerdict::linkChangeableByUsers},
        {"everyone may change its permissions", programFiles, administratorsLink + L"(A;;WD;;;WD)",
         VolumeKind::fixed, junction, LinkVerdict::linkChangeableByUsers},
        {"owned by a user", programFiles, L"O:S-1-5-21-1004336348-1177238915-682003330-1001D:(A;;FA;;;BA)",
         VolumeKind::fixed, junction, LinkVerdict::linkChangeableByUsers},
        {"on a removable volume", programFiles, administratorsLink, VolumeKind::removable, junction,
         LinkVerdict::notOnFixedVolume},
        {"on a remote volume", programFiles, administratorsLink, VolumeKind::remote, junction,
         LinkVerdict::notOnFixedVolume},
        {"on a volume the system cannot name", programFiles, administratorsLink, VolumeKind::other, junction,
         LinkVerdict::notOnFixedVolume},
        {"of an unknown kind", programFiles, administratorsLink, VolumeKind::fixed,
         ReparseData(appExecLinkTag, L"\\??\\C:\\x", L"C:\\x"), LinkVerdict::targetUnreadable},
        {"to a share", programFiles, administratorsLink, VolumeKind::fixed,
         ReparseData(symbolicLinkTag, L"\\??\\UNC\\server\\share", L""), LinkVerdict::targetUnreadable},
    };
    for (const LinkCase& c : cases)
    {
        const UniqueLocalMemory holder = Descriptor(c.holder);
        const UniqueLocalMemory link = Descriptor(c.link);
        LinkFacts facts;
        facts.holderDescriptor = holder.get();
        facts.linkDescriptor = link.get();
        facts.volume = c.volume;
        facts.reparseData = c.data.data();
        facts.reparseSize = c.data.size();
        const LinkDecision decision = DecideLink(facts);
        EXPECT_EQ(decision.verdict, c.verdict) << c.what;
        EXPECT_EQ(decision.target.kind != LinkTargetKind::unreadable, c.verdict == LinkVerdict::follow)
            << c.what;
    }
}

TEST(LinkDecisions, PermissionsThatCannotBeReadRefuseTheLink)
{
    const UniqueLocalMemory admins = Descriptor(administratorsLink);
    const auto junction = ReparseData(mountPointTag, L"\\??\\D:\\VS", L"D:\\VS");
    LinkFacts facts;
    facts.linkDescriptor = admins.get();
    facts.volume = VolumeKind::fixed;
    facts.reparseData = junction.data();
    facts.reparseSize = junction.size();
    EXPECT_EQ(DecideLink(facts).verdict, LinkVerdict::holderChangeableByUsers);
    facts.holderDescriptor = admins.get();
    facts.linkDescriptor = nullptr;
    EXPECT_EQ(DecideLink(facts).verdict, LinkVerdict::linkChangeableByUsers);
}

} // namespace
