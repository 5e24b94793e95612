#include "discovery/OutputPipe.h"

#include "discovery/ChildSandbox.h"
#include "discovery/RestrictedToken.h"

#include <windows.h>

namespace
{

constexpr DWORD pipeBufferBytes = 64 * 1024;

} // namespace

// Anonymous pipes know no overlapped reads, so the wizard could not wait for one with a time-out: this is a
// named pipe. Its name cannot be guessed, but pipes can be listed; so its DACL admits the wizard's user
// alone, and as its only instance, made first, it cannot have been made by anyone else beforehand.
bool CreateOutputPipe(OutputPipe& pipe)
{
    GrantedToOneSid ownUserOnly(OwnUserSid());
    pipe.name = UnguessableName(L"\\\\.\\pipe\\GravoSetup.");
    if (ownUserOnly.Get() == nullptr || pipe.name.empty())
        return false;
    pipe.readEnd.reset(CreateNamedPipeW(
        pipe.name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, pipeBufferBytes,
        0, ownUserOnly.Get()));
    if (!pipe.readEnd)
        return false;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    pipe.writeEnd.reset(
        CreateFileW(pipe.name.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, &inheritable, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
    return pipe.writeEnd.valid();
}
