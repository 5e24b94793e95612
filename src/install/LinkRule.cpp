#include "install/LinkRule.h"

#include <windows.h>

namespace
{

// The rights that let a holder add, delete or rename a folder's entries, or give itself those rights.
constexpr ACCESS_MASK folderChangeRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD |
                                           DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL |
                                           MAXIMUM_ALLOWED;

// A link is retargeted by writing its reparse data, which NTFS allows with write-data or write-attributes
// access; extended attributes are counted as well, to stay on the safe side.
constexpr ACCESS_MASK linkChangeRights = folderChangeRights | FILE_WRITE_ATTRIBUTES | FILE_WRITE_EA;

} // namespace

bool IsTrustedAccount(void* sid, void* alsoTrusted)
{
    if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid))
        return true;
    // TrustedInstaller, the service SID NT SERVICE\TrustedInstaller (S-1-5-80-956008885-...), built in place.
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    unsigned char buffer[SECURITY_MAX_SID_SIZE];
    const PSID trustedInstaller = buffer;
    if (InitializeSid(trustedInstaller, &nt, 6))
    {
        const DWORD parts[6] = {
            SECURITY_SERVICE_ID_BASE_RID, 956008885, 3418522649, 1831038044, 1853292631, 2271478464};
        for (DWORD index = 0; index < 6; ++index)
            *GetSidSubAuthority(trustedInstaller, index) = parts[index];
        if (EqualSid(sid, trustedInstaller))
            return true;
    }
    return alsoTrusted != nullptr && EqualSid(sid, alsoTrusted);
}

bool AdmitsOnlyTrusted(const void* securityDescriptor, unsigned long rights, void* alsoTrusted)
{
    const auto descriptor = const_cast<PSECURITY_DESCRIPTOR>(securityDescriptor);
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    // The owner may always rewrite the permissions.
    if (descriptor == nullptr || !GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ||
        owner == nullptr || !IsTrustedAccount(owner, alsoTrusted))
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
        if ((allowed->Mask & rights) != 0 &&
            !IsTrustedAccount(const_cast<DWORD*>(&allowed->SidStart), alsoTrusted))
            return false;
    }
    return true;
}

unsigned long FolderChangeRights()
{
    return folderChangeRights;
}

bool AdmitsChangesOnlyByAdministrators(const void* securityDescriptor)
{
    return AdmitsOnlyTrusted(securityDescriptor, folderChangeRights);
}

bool LinkAdmitsChangesOnlyByAdministrators(const void* securityDescriptor)
{
    return AdmitsOnlyTrusted(securityDescriptor, linkChangeRights);
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
