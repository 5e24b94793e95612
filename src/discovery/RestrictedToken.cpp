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

// Objects the child makes, its own process and thread among them, take the token's default DACL. An elevated
// token's grants Administrators and SYSTEM only, which a child holding Administrators deny-only could not use
// (the runtime opens its own process now and then): grant the token's user and SYSTEM instead.
bool GrantUserInDefaultDacl(HANDLE token)
{
    alignas(TOKEN_USER) BYTE userBuffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE] = {};
    DWORD size = 0;
    WellKnownSid system;
    if (!GetTokenInformation(token, TokenUser, userBuffer, sizeof userBuffer, &size) ||
        !system.Make(WinLocalSystemSid))
        return false;
    const PSID user = reinterpret_cast<TOKEN_USER*>(userBuffer)->User.Sid;
    alignas(ACL) BYTE aclBuffer[sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE)] = {};
    ACL* acl = reinterpret_cast<ACL*>(aclBuffer);
    if (!InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, user) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, system.Sid()))
        return false;
    TOKEN_DEFAULT_DACL defaultDacl{acl};
    return SetTokenInformation(token, TokenDefaultDacl, &defaultDacl, sizeof defaultDacl) != FALSE;
}

} // namespace

UniqueHandle CreateRestrictedChildToken()
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
    UniqueHandle restricted;
    if (!CreateRestrictedToken(own.get(), DISABLE_MAX_PRIVILEGE, denyOnlyCount, denyOnly, 0, nullptr, 0,
                               nullptr, restricted.put()))
        return UniqueHandle();

    WellKnownSid low;
    if (!low.Make(WinLowLabelSid))
        return UniqueHandle();
    TOKEN_MANDATORY_LABEL label{};
    label.Label.Sid = low.Sid();
    label.Label.Attributes = SE_GROUP_INTEGRITY;
    if (!SetTokenInformation(restricted.get(), TokenIntegrityLevel, &label,
                             static_cast<DWORD>(sizeof label + GetLengthSid(low.Sid()))) ||
        !GrantUserInDefaultDacl(restricted.get()))
        return UniqueHandle();
    return restricted;
}
