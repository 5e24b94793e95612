#include "graphwin/MessageRing.h"

#include <cstring>

namespace Gravo
{
int MessageCategory(std::uint16_t message)
{
    switch (message)
    {
    case WM_MOVE:
    case WM_SIZE:
    case WM_ACTIVATE:
        return CAT_WINDOW;
    case WM_KEYDOWN:
    case WM_KEYUP:
        return CAT_KEY;
    case WM_CHAR:
        return CAT_CHAR;
    default:
        return message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL ? CAT_MOUSE : 0;
    }
}

bool MakeRecord(HWND window, UINT message, WPARAM wParam, LPARAM lParam, GraphMessage* record)
{
    std::memset(record, 0, sizeof *record);
    switch (message)
    {
    case WM_MOVE:
    case WM_SIZE:
    case WM_ACTIVATE:
        record->message = static_cast<std::uint16_t>(message);
        record->window.wParam = static_cast<std::uint32_t>(wParam);
        record->window.lParam = static_cast<std::int32_t>(lParam);
        return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        record->message = message == WM_KEYDOWN || message == WM_SYSKEYDOWN ? WM_KEYDOWN : WM_KEYUP;
        record->key.virtualKey = static_cast<unsigned char>(wParam);
        record->key.scanCode = static_cast<unsigned char>(lParam >> 16);
        record->key.extended = (lParam >> 24) & 1;
        record->key.previouslyDown = (lParam >> 30) & 1;
        return true;
    case WM_CHAR:
        record->message = WM_CHAR;
        record->character = static_cast<std::uint16_t>(wParam);
        return true;
    default:
        break;
    }
    if (message < WM_MOUSEMOVE || message > WM_MOUSEWHEEL)
    {
        return false;
    }
    record->message = static_cast<std::uint16_t>(message);
    record->mouse.ctrl = (wParam & MK_CONTROL) != 0;
    record->mouse.shift = (wParam & MK_SHIFT) != 0;
    record->mouse.leftButton = (wParam & MK_LBUTTON) != 0;
    record->mouse.middleButton = (wParam & MK_MBUTTON) != 0;
    record->mouse.rightButton = (wParam & MK_RBUTTON) != 0;
    POINT point = {static_cast<std::int16_t>(LOWORD(lParam)), static_cast<std::int16_t>(HIWORD(lParam))};
    if (message == WM_MOUSEWHEEL)
    {
        ScreenToClient(window, &point);
    }
    record->mouse.x = static_cast<std::int16_t>(point.x);
    record->mouse.y = static_cast<std::int16_t>(point.y);
    record->mouse.wheel = static_cast<std::int16_t>(HIWORD(wParam));
    return true;
}

bool MessageRing::Full() const
{
    return (WriteIndex() - ReadIndex()) % slotCount == slotCount - 1;
}

void MessageRing::SetIndices(std::uint32_t read, std::uint32_t write)
{
    indexWord = (indexWord & ~0xFFFu) | (read % slotCount) | ((write % slotCount) << 6);
}

void MessageRing::Push(const GraphMessage& record)
{
    if (Full())
    {
        return;
    }
    std::memcpy(&slots[WriteIndex()], &record, sizeof record);
    SetIndices(ReadIndex(), WriteIndex() + 1);
}

bool MessageRing::Poll(GraphMessage* record, int filter, bool remove)
{
    const int allCategories = CAT_MOUSE | CAT_KEY | CAT_CHAR | CAT_WINDOW;
    if ((filter & allCategories) != allCategories)
    {
        while (ReadIndex() != WriteIndex() && (MessageCategory(slots[ReadIndex()].message) & filter) == 0)
        {
            SetIndices(ReadIndex() + 1, WriteIndex());
        }
    }
    if (ReadIndex() == WriteIndex())
    {
        return false;
    }
    if (record != nullptr)
    {
        std::memcpy(record, &slots[ReadIndex()], sizeof *record);
    }
    if (remove)
    {
        SetIndices(ReadIndex() + 1, WriteIndex());
    }
    return true;
}
} // namespace Gravo
