// The pipe a child program writes its output into: a named pipe of one instance under an unguessable name,
// made first (no one can have made it before), open to the wizard's own user only and to no remote client.
// The wizard reads it with overlapped reads; the child inherits its write end.
#pragma once

#include "win32/UniqueHandles.h"

#include <string>

struct OutputPipe
{
    std::wstring name;   // "\\.\pipe\GravoSetup.<32 hex digits>"
    UniqueFile readEnd;  // overlapped
    UniqueFile writeEnd; // inheritable
};

// False when any part cannot be made; nothing is then to be run.
bool CreateOutputPipe(OutputPipe& pipe);
