// Nuklear's clipboard callbacks on the Windows clipboard's Unicode text, installed by InitGuiBackend.
#pragma once

#include "guibackend/NuklearConfig.h"

// nk_plugin_paste: the clipboard's Unicode text is typed into the text edit.
void ClipboardPaste(nk_handle handle, nk_text_edit* textEdit);
// nk_plugin_copy: byteLength bytes of UTF-8 text are put on the clipboard.
void ClipboardCopy(nk_handle handle, const char* text, int byteLength);
