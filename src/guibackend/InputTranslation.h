// The input half of the GUI backend: turns graph window records (gravo.h) into Nuklear input on the
// backend's context (GuiBackend.h), between nk_input_begin and nk_input_end.
#pragma once

#include "guibackend/NuklearConfig.h"

#include <windows.h>

struct GraphMessage;

// The Nuklear keys one virtual key sends; count is 0 when the key is not used.
struct NuklearKeys
{
    int count;
    nk_keys keys[2];
};

// The pure key table: what the virtual key sends while Control is held (controlHeld) or not.
NuklearKeys TranslateVirtualKey(unsigned virtualKey, bool controlHeld);

// Feeds one record to the GUI context: 1 when it became input, 0 when it was ignored. Key records of
// the Control keys are tracked to know whether Control is held. Button presses ask the graph window
// to capture the mouse, releases to let it go. windowHandle is not used.
int HandleGraphMessage(HWND windowHandle, const GraphMessage* record);
