#include "install/LinkRule.h"

#include "win32/UniqueHandles.h"

#include <sddl.h>

namespace
{

// The rights that let a holder add, delete or rename a folder's entries, or give itself those rights.
constexpr ACCESS_MASK folderChangeRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD |
                                           DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL |
                                           MAXIMUM_ALLOWED;

// A link is retargeted by writing its reparse data, which NTFS allows with write-data or write-attributes
// access; extended attributes are counted as well, to stay on the safe side.
constexpr ACCESS_MASK linkChangeRights = folderChangeRights | FILE_WRITE_ATTRIBUTES | FILE_WRITE_EA;

bool AdmitsChangesOnlyByAdministrators(const void* securityDescriptor, ACCESS_MASK changeRights)
{
    const auto descriptor = const_cast<PSECURITY_DESCRIPTOR>(securityDescriptor);
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    // The owner may always rewrite the permissions.
    if (descriptor == nullptr || !GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ||
        owner == nullptr || !IsTrustedAccount(owner))
        return false;
    BOOL present = FALSE;
    PACL dacl = nullptr;
    // No DACL at all grants everyone everything.
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || dacl == nullptr)
        return false;
    for (DWORD index = 0; index < dacl->AceCount; ++index)
    {
        void* ace = nullptr;
        if (!GetAce(dacl, index, &ace))
            return false;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        // An inherit-only entry grants nothing on the object itself; deny entries only take rights away.
        if ((header->AceFlags & INHERIT_ONLY_ACE) != 0 || header->AceType == ACCESS_DENIED_ACE_TYPE ||
            header->AceType == ACCESS_DENIED_CALLBACK_ACE_TYPE || header->AceType == SYSTEM_AUDIT_ACE_TYPE ||
            header->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE)
            continue;
        // Allow entries of a layout other than the plain one are not read: taken as granting everything.
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_ALLOWED_CALLBACK_ACE_TYPE)
            return false;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & changeRights) != 0 && !IsTrustedAccount(const_cast<DWORD*>(&allowed->SidStart)))
            return false;
    }
    return true;
}

} // namespace

bool IsTrustedAccount(void* sid)
{
    static const wchar_t* const trustedAccounts[] = {
        L"S-1-5-32-544",                                                   // Administrators
        L"S-1-5-18",                                                       // SYSTEM
        L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", // TrustedInstaller
    };
    for (const wchar_t* account : trustedAccounts)
    {
        UniqueLocalMemory trusted;
        if (ConvertStringSidToSidW(account, reinterpret_cast<PSID*>(trusted.put())) &&
            EqualSid(sid, trusted.get()))
            return true;
    }
    return false;
}

bool AdmitsChangesOnlyByAdministrators(const void* securityDescriptor)
{
    return AdmitsChangesOnlyByAdministrators(securityDescriptor, folderChangeRights);
}

bool LinkAdmitsChangesOnlyByAdministrators(const void* securityDescriptor)
{
    return AdmitsChangesOnlyByAdministrators(securityDescriptor, linkChangeRights);
}

LinkDecision DecideLink(const LinkFacts& facts)
{
    LinkDecision decision;
    if (!AdmitsChangesOnlyByAdministrators(facts.holderDescriptor))
        decision.verdict = LinkVerdict::holderChangeableByUsers;
    else if (!LinkAdmitsChangesOnlyByAdministrators(facts.linkDescriptor))
        decision.verdict = LinkVerdict::linkChangeableByUsers;
    else if (facts.volume != VolumeKind::fixed)
        decision.verdict = LinkVerdict::notOnFixedVolume;
    else
    {
        decision.target = ParseReparseData(facts.reparseData, facts.reparseSize);
        decision.verdict = decision.target.kind == LinkTargetKind::unreadable ? LinkVerdict::targetUnreadable
                                                                              : LinkVerdict::follow;
    }
    return decision;
}
