// Which links the elevated wizard follows, decided from facts read elsewhere: the security descriptors of
// the folder that holds the link and of the link itself, the kind of volume it lies on, and its reparse
// data. Needs advapi32's security descriptor functions only.
#pragma once

#include "install/NtFiles.h"
#include "install/ReparseData.h"

#include <cstddef>

// Administrators, SYSTEM or TrustedInstaller, or `alsoTrusted` where given.
bool IsTrustedAccount(void* sid, void* alsoTrusted = nullptr);

// True when the descriptor's owner is a trusted account and its DACL grants none of `rights` to anyone else
// (`alsoTrusted`, a SID, counts as trusted where given).
bool AdmitsOnlyTrusted(const void* securityDescriptor, unsigned long rights, void* alsoTrusted = nullptr);

// The rights that let a holder add, delete or rename a folder's entries, or give itself those rights.
unsigned long FolderChangeRights();

// True when a folder with this security descriptor lets nobody but Administrators, SYSTEM and
// TrustedInstaller add, delete or rename its entries or change its permissions (the owner included).
bool AdmitsChangesOnlyByAdministrators(const void* securityDescriptor);

// The same for a link itself: nobody else may retarget it (write its reparse data or attributes), delete
// it, or change its permissions or owner.
bool LinkAdmitsChangesOnlyByAdministrators(const void* securityDescriptor);

struct LinkFacts
{
    const void* holderDescriptor = nullptr; // the folder that holds the link
    const void* linkDescriptor = nullptr;
    VolumeKind volume = VolumeKind::other; // of the link
    const unsigned char* reparseData = nullptr;
    size_t reparseSize = 0;
};

enum class LinkVerdict
{
    follow,
    holderChangeableByUsers, // someone else could have made the link there
    linkChangeableByUsers,   // someone else could retarget it
    notOnFixedVolume,        // owners on removable media may have been written on another machine
    targetUnreadable,
};

struct LinkDecision
{
    LinkVerdict verdict = LinkVerdict::targetUnreadable;
    LinkTarget target; // where it leads, when followed
};

LinkDecision DecideLink(const LinkFacts& facts);
