// The owner of an icon handle (ExtractIconW, LoadImageW with LR_LOADFROMFILE), given back with DestroyIcon.
// An addition to the owners of UniqueHandles.h; header-only.
#pragma once

#include "win32/UniqueHandles.h"

struct IconTraits
{
    using pointer = HICON;
    static pointer Empty() { return nullptr; }
    static void Close(pointer icon) { DestroyIcon(icon); }
};

using UniqueIcon = UniqueResource<IconTraits>;
