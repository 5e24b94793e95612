#include "guibackend/GuiBackend.h"

#include "guibackend/Clipboard.h"

namespace
{
GuiBackend backend;
} // namespace

GuiBackend& TheGuiBackend()
{
    return backend;
}

nk_context* InitGuiBackend(GuiFont* font, HDC windowDC, int, int)
{
    if (backend.initialised)
        nk_free(&backend.context);
    nk_user_font* description = nullptr;
    if (font != nullptr)
    {
        description = &font->description;
        description->userdata = nk_handle_ptr(font);
        description->height = font->logfont != nullptr ? static_cast<float>(font->logfont->lfHeight) : 0.0f;
        description->width = GuiTextWidth;
    }
    backend.windowDC = windowDC;
    backend.lastFrame.comparable = false;
    backend.initialised = nk_init_default(&backend.context, description) != 0;
    backend.context.clip.copy = ClipboardCopy;
    backend.context.clip.paste = ClipboardPaste;
    return &backend.context;
}

void ShutdownGuiBackend()
{
    if (backend.initialised)
        nk_free(&backend.context);
    backend.initialised = false;
    backend.windowDC = nullptr;
    backend.controlHeld = false;
    backend.lastFrame.comparable = false;
    backend.measurer.Release();
}

nk_context* GuiContext()
{
    return &backend.context;
}
