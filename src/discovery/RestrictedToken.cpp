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
                             static_cast<DWORD>(sizeof label + GetLengthSid(low.Sid()))))
        return UniqueHandle();
    return restricted;
}
