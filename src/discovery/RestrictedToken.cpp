#include "discovery/RestrictedToken.h"

#include <windows.h>

#include <iterator>

namespace
{

struct WellKnownSid
{
    BYTE bytes[SECURITY_MAX_SID_SIZE] = {};

    // False when this Windows does not know the SID.
    bool Make(WELL_KNOWN_SID_TYPE type)
    {
        DWORD size = sizeof bytes;
        return CreateWellKnownSid(type, nullptr, bytes, &size) != FALSE;
    }
    PSID Sid() { return bytes; }
};

// Groups whose membership gives administrator rights. Deny-only groups the token does not hold are ignored;
// "local account and member of Administrators" is unknown before Windows 8.1 and then left out.
constexpr WELL_KNOWN_SID_TYPE adminGroups[] = {WinBuiltinAdministratorsSid, WinBuiltinPowerUsersSid,
                                               WinLocalAccountAndAdministratorSid};

// The restricting SIDs besides the logon SID. RESTRICTED is left out on purpose: a user's registry hive
// grants it read access, and the sandbox is to read nothing of the administrator's.
constexpr WELL_KNOWN_SID_TYPE restrictingGroups[] = {WinWorldSid, WinBuiltinUsersSid};

std::vector<BYTE> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind)
{
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token, kind, buffer.data(), size, &size))
        buffer.clear();
    return buffer;
}

std::vector<unsigned char> SidBytes(PSID sid)
{
    const auto* bytes = static_cast<const unsigned char*>(sid);
    return sid != nullptr && IsValidSid(sid) ? std::vector<unsigned char>(bytes, bytes + GetLengthSid(sid))
                                             : std::vector<unsigned char>();
}

std::vector<unsigned char> OwnTokenSid(bool logon)
{
    UniqueHandle own;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, own.put()))
        return {};
    if (!logon)
    {
        const std::vector<BYTE> user = TokenInformation(own.get(), TokenUser);
        return user.empty() ? std::vector<unsigned char>()
                            : SidBytes(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
    }
    const std::vector<BYTE> groups = TokenInformation(own.get(), TokenGroups);
    const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(groups.data());
    for (DWORD i = 0; !groups.empty() && i < list->GroupCount; ++i)
    {
        if ((list->Groups[i].Attributes & SE_GROUP_LOGON_ID) == SE_GROUP_LOGON_ID)
            return SidBytes(list->Groups[i].Sid);
    }
    return {};
}

// Objects the child makes, its own process and thread among them, take the token's default DACL. An elevated
// token's grants Administrators and SYSTEM only, which a child holding Administrators deny-only could not use
// (the runtime opens its own process now and then): grant the token's user and SYSTEM instead, and the logon
// SID too for a token whose restricting SIDs must also be granted.
bool GrantUserInDefaultDacl(HANDLE token, PSID logon)
{
    std::vector<unsigned char> user = OwnUserSid();
    WellKnownSid system;
    if (user.empty() || !system.Make(WinLocalSystemSid))
        return false;
    alignas(ACL) BYTE aclBuffer[sizeof(ACL) + 3 * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE)] = {};
    ACL* acl = reinterpret_cast<ACL*>(aclBuffer);
    if (!InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, user.data()) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, system.Sid()) ||
        (logon != nullptr && !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, logon)))
        return false;
    TOKEN_DEFAULT_DACL defaultDacl{acl};
    return SetTokenInformation(token, TokenDefaultDacl, &defaultDacl, sizeof defaultDacl) != FALSE;
}

bool LowerToLowIntegrity(HANDLE token)
{
    WellKnownSid low;
    if (!low.Make(WinLowLabelSid))
        return false;
    TOKEN_MANDATORY_LABEL label{};
    label.Label.Sid = low.Sid();
    label.Label.Attributes = SE_GROUP_INTEGRITY;
    return SetTokenInformation(token, TokenIntegrityLevel, &label,
                               static_cast<DWORD>(sizeof label + GetLengthSid(low.Sid()))) != FALSE;
}

} // namespace

std::vector<unsigned char> OwnUserSid()
{
    return OwnTokenSid(false);
}

std::vector<unsigned char> OwnLogonSid()
{
    return OwnTokenSid(true);
}

UniqueHandle CreateRestrictedChildToken(bool restrictingSids)
{
    UniqueHandle own;
    if (!OpenProcessToken(GetCurrentProcess(),
                          TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY | TOKEN_ADJUST_DEFAULT,
                          own.put()))
        return UniqueHandle();

    WellKnownSid groups[std::size(adminGroups)];
    SID_AND_ATTRIBUTES denyOnly[std::size(adminGroups)] = {};
    DWORD denyOnlyCount = 0;
    for (size_t i = 0; i < std::size(adminGroups); ++i)
    {
        if (groups[i].Make(adminGroups[i]))
            denyOnly[denyOnlyCount++].Sid = groups[i].Sid();
        else if (i == 0)
            return UniqueHandle(); // no Administrators SID: the token would keep its rights
    }

    // Without its logon SID the sandbox's own process would be closed to it, and its desktop too.
    std::vector<unsigned char> logon = restrictingSids ? OwnLogonSid() : std::vector<unsigned char>();
    if (restrictingSids && logon.empty())
        return UniqueHandle();
    WellKnownSid restricting[std::size(restrictingGroups)];
    SID_AND_ATTRIBUTES restrictingList[std::size(restrictingGroups) + 1] = {};
    DWORD restrictingCount = 0;
    for (size_t i = 0; restrictingSids && i < std::size(restrictingGroups); ++i)
    {
        if (!restricting[i].Make(restrictingGroups[i]))
            return UniqueHandle();
        restrictingList[restrictingCount++].Sid = restricting[i].Sid();
    }
    if (restrictingSids)
        restrictingList[restrictingCount++].Sid = logon.data();

    UniqueHandle restricted;
    if (!CreateRestrictedToken(own.get(), DISABLE_MAX_PRIVILEGE, denyOnlyCount, denyOnly, 0, nullptr,
                               restrictingCount, restrictingCount != 0 ? restrictingList : nullptr,
                               restricted.put()) ||
        !LowerToLowIntegrity(restricted.get()) ||
        !GrantUserInDefaultDacl(restricted.get(), logon.empty() ? nullptr : logon.data()))
        return UniqueHandle();
    return restricted;
}
