// The walls a child program runs within besides its token: its job (ended with the wizard's handle; for the
// sandbox one active process, no breakaway and every UI limit) and, for the sandbox, a desktop of its own.
// Also the unguessable names those objects and the output pipe take.
#pragma once

#include "win32/UniqueHandles.h"

#include <string>
#include <vector>

// `prefix` followed by 32 hexadecimal digits of the system's random number generator; empty when it fails.
std::wstring UnguessableName(const std::wstring& prefix);

// A job that ends every process in it when its last handle closes. With `sandbox` it also admits one active
// process (the child can start none, and may not break away) and closes the clipboard, other processes'
// windows and handles, global atoms, system parameters, display settings, desktop switching and logging off.
// Empty when any limit cannot be set.
UniqueHandle CreateChildJob(bool sandbox);

// A desktop of its own, open to the wizard's logon session only, and the name a child's start-up information
// gives for it ("<window station>\<desktop>").
struct SandboxDesktop
{
    UniqueDesktop desktop;
    std::wstring startupName;
};
SandboxDesktop CreateSandboxDesktop();

// Security attributes whose DACL grants one SID everything and nobody else anything; `Get` is null when the
// SID is empty or the descriptor cannot be made.
class GrantedToOneSid
{
public:
    explicit GrantedToOneSid(std::vector<unsigned char> sid);
    GrantedToOneSid(const GrantedToOneSid&) = delete;
    GrantedToOneSid& operator=(const GrantedToOneSid&) = delete;

    SECURITY_ATTRIBUTES* Get() { return valid_ ? &attributes_ : nullptr; }

private:
    std::vector<unsigned char> sid_;
    alignas(ACL) BYTE acl_[sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE] = {};
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
    bool valid_ = false;
};
