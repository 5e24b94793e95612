#include "discovery/ChildSandbox.h"

#include "discovery/RestrictedToken.h"

#include <windows.h>

#include <bcrypt.h>

#include <cwchar>
#include <utility>

namespace
{

constexpr DWORD allUiLimits = JOB_OBJECT_UILIMIT_HANDLES | JOB_OBJECT_UILIMIT_READCLIPBOARD |
                              JOB_OBJECT_UILIMIT_WRITECLIPBOARD | JOB_OBJECT_UILIMIT_SYSTEMPARAMETERS |
                              JOB_OBJECT_UILIMIT_DISPLAYSETTINGS | JOB_OBJECT_UILIMIT_GLOBALATOMS |
                              JOB_OBJECT_UILIMIT_DESKTOP | JOB_OBJECT_UILIMIT_EXITWINDOWS;

std::wstring ObjectName(HANDLE object)
{
    wchar_t name[256] = {};
    DWORD size = 0;
    return GetUserObjectInformationW(object, UOI_NAME, name, sizeof name - sizeof(wchar_t), &size)
               ? std::wstring(name)
               : std::wstring();
}

} // namespace

std::wstring UnguessableName(const std::wstring& prefix)
{
    unsigned char random[16] = {};
    if (BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0)
        return {};
    std::wstring name = prefix;
    for (unsigned char byte : random)
    {
        wchar_t digits[3];
        swprintf(digits, 3, L"%02x", byte);
        name += digits;
    }
    return name;
}

UniqueHandle CreateChildJob(bool sandbox)
{
    UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    if (!job)
        return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    // Breakaway stays refused: neither JOB_OBJECT_LIMIT_BREAKAWAY_OK nor its silent form is set.
    if (sandbox)
    {
        limits.BasicLimitInformation.LimitFlags |=
            JOB_OBJECT_LIMIT_ACTIVE_PROCESS | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
        limits.BasicLimitInformation.ActiveProcessLimit = 1;
    }
    JOBOBJECT_BASIC_UI_RESTRICTIONS ui{allUiLimits};
    if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
        (sandbox && !SetInformationJobObject(job.get(), JobObjectBasicUIRestrictions, &ui, sizeof ui)))
        job.reset();
    return job;
}

SandboxDesktop CreateSandboxDesktop()
{
    SandboxDesktop made;
    const std::wstring station = ObjectName(GetProcessWindowStation());
    const std::wstring name = UnguessableName(L"GravoSetup.");
    // Only the logon session's processes may open it: the wizard, and the child, whose restricting SIDs
    // include the logon SID.
    GrantedToOneSid logonSessionOnly(OwnLogonSid());
    if (station.empty() || name.empty() || logonSessionOnly.Get() == nullptr)
        return made;
    made.desktop.reset(
        CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, logonSessionOnly.Get()));
    if (made.desktop)
        made.startupName = station + L"\\" + name;
    return made;
}

GrantedToOneSid::GrantedToOneSid(std::vector<unsigned char> sid) : sid_(std::move(sid))
{
    ACL* acl = reinterpret_cast<ACL*>(acl_);
    valid_ = !sid_.empty() && InitializeAcl(acl, sizeof acl_, ACL_REVISION) &&
             AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid_.data()) &&
             InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
             SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE);
    attributes_ = {sizeof attributes_, &descriptor_, FALSE};
}
