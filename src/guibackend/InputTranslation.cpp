// Input translation: graph window records in, Nuklear input on the backend's context out.
#include "guibackend/InputTranslation.h"

#include "graphwin/gravo.h"
#include "guibackend/GuiBackend.h"

namespace
{
const unsigned ControlKeys[] = {VK_CONTROL, VK_LCONTROL, VK_RCONTROL};

bool IsControlKey(unsigned virtualKey)
{
    for (unsigned key : ControlKeys)
        if (key == virtualKey)
            return true;
    return false;
}

NuklearKeys One(nk_keys key)
{
    return NuklearKeys{1, {key, NK_KEY_NONE}};
}

NuklearKeys Two(nk_keys first, nk_keys second)
{
    return NuklearKeys{2, {first, second}};
}

NuklearKeys WithControl(bool controlHeld, nk_keys key)
{
    return controlHeld ? One(key) : NuklearKeys{0, {NK_KEY_NONE, NK_KEY_NONE}};
}

int HandleKey(const GraphKey& key, bool down)
{
    GuiBackend& backend = TheGuiBackend();
    if (IsControlKey(key.virtualKey))
    {
        backend.controlHeld = down;
        return 0;
    }
    const NuklearKeys keys = TranslateVirtualKey(key.virtualKey, backend.controlHeld);
    nk_context* context = GuiContext();
    for (int i = 0; i < keys.count; ++i)
        nk_input_key(context, keys.keys[i], down);
    return keys.count > 0 ? 1 : 0;
}

int HandleCharacter(std::uint16_t character)
{
    // Control characters (Enter, Backspace, Tab) arrive as key records as well.
    if (character < 32)
        return 0;
    nk_input_unicode(GuiContext(), character);
    return 1;
}

// A press captures the mouse so that a drag leaving the window still ends with a release.
int Press(nk_buttons button, const GraphMouse& mouse)
{
    nk_input_button(GuiContext(), button, mouse.x, mouse.y, 1);
    RequestMouseCapture();
    return 1;
}

int Release(nk_buttons button, const GraphMouse& mouse)
{
    nk_input_button(GuiContext(), button, mouse.x, mouse.y, 0);
    RequestMouseRelease();
    return 1;
}

int HandleMouse(std::uint16_t message, const GraphMouse& mouse)
{
    nk_context* context = GuiContext();
    switch (message)
    {
    case WM_MOUSEMOVE:
        nk_input_motion(context, mouse.x, mouse.y);
        return 1;
    case WM_LBUTTONDOWN:
        return Press(NK_BUTTON_LEFT, mouse);
    case WM_LBUTTONUP:
        // Nuklear only ends a double click on its own button's release.
        nk_input_button(context, NK_BUTTON_DOUBLE, mouse.x, mouse.y, 0);
        return Release(NK_BUTTON_LEFT, mouse);
    case WM_LBUTTONDBLCLK:
        nk_input_button(context, NK_BUTTON_DOUBLE, mouse.x, mouse.y, 1);
        return 1;
    case WM_RBUTTONDOWN:
        return Press(NK_BUTTON_RIGHT, mouse);
    case WM_RBUTTONUP:
        return Release(NK_BUTTON_RIGHT, mouse);
    case WM_MBUTTONDOWN:
        return Press(NK_BUTTON_MIDDLE, mouse);
    case WM_MBUTTONUP:
        return Release(NK_BUTTON_MIDDLE, mouse);
    case WM_MOUSEWHEEL:
        nk_input_scroll(context, nk_vec2(0.0f, static_cast<float>(mouse.wheel) / WHEEL_DELTA));
        return 1;
    default:
        return 0;
    }
}

// A window that loses the focus never sees the Control key's release.
void HandleWindowChange(std::uint16_t message, const GraphWindowChange& change)
{
    if (message == WM_ACTIVATE && LOWORD(change.wParam) == WA_INACTIVE)
        TheGuiBackend().controlHeld = false;
}
} // namespace

NuklearKeys TranslateVirtualKey(unsigned virtualKey, bool controlHeld)
{
    switch (virtualKey)
    {
    case VK_BACK:
        return One(NK_KEY_BACKSPACE);
    case VK_TAB:
        return One(NK_KEY_TAB);
    case VK_RETURN:
        return One(NK_KEY_ENTER);
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
        return One(NK_KEY_SHIFT);
    case VK_PRIOR:
        return One(NK_KEY_SCROLL_UP);
    case VK_NEXT:
        return One(NK_KEY_SCROLL_DOWN);
    case VK_END:
        return Two(NK_KEY_TEXT_END, NK_KEY_SCROLL_END);
    case VK_HOME:
        return Two(NK_KEY_TEXT_START, NK_KEY_SCROLL_START);
    case VK_LEFT:
        return One(controlHeld ? NK_KEY_TEXT_WORD_LEFT : NK_KEY_LEFT);
    case VK_RIGHT:
        return One(controlHeld ? NK_KEY_TEXT_WORD_RIGHT : NK_KEY_RIGHT);
    case VK_DELETE:
        return One(NK_KEY_DEL);
    case 'A':
        return WithControl(controlHeld, NK_KEY_TEXT_SELECT_ALL);
    case 'C':
        return WithControl(controlHeld, NK_KEY_COPY);
    case 'R':
        return WithControl(controlHeld, NK_KEY_TEXT_REDO);
    case 'V':
        return WithControl(controlHeld, NK_KEY_PASTE);
    case 'X':
        return WithControl(controlHeld, NK_KEY_CUT);
    case 'Z':
        return WithControl(controlHeld, NK_KEY_TEXT_UNDO);
    default:
        return NuklearKeys{0, {NK_KEY_NONE, NK_KEY_NONE}};
    }
}

int HandleGraphMessage(HWND, const GraphMessage* record)
{
    if (record == nullptr)
        return 0;
    switch (record->message)
    {
    case WM_KEYDOWN:
    case WM_KEYUP:
        return HandleKey(record->key, record->message == WM_KEYDOWN);
    case WM_CHAR:
        return HandleCharacter(record->character);
    case WM_MOVE:
    case WM_SIZE:
    case WM_ACTIVATE:
        HandleWindowChange(record->message, record->window);
        return 0;
    default:
        return record->message >= WM_MOUSEFIRST && record->message <= WM_MOUSEWHEEL
                   ? HandleMouse(record->message, record->mouse)
                   : 0;
    }
}
