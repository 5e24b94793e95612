// The owner of memory that a Win32 call allocated with LocalAlloc and the caller gives back with LocalFree
// (security descriptors from GetSecurityInfo, converted SDDL strings). Header-only; needs <windows.h>.
#pragma once

#include "win32/UniqueHandles.h"

struct LocalMemoryTraits
{
    using pointer = HLOCAL;
    static pointer Empty() { return nullptr; }
    static void Close(pointer memory) { LocalFree(memory); }
};

using UniqueLocalMemory = UniqueResource<LocalMemoryTraits>;
