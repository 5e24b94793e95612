// Both callbacks give up silently when the clipboard cannot be opened, holds no Unicode text or memory
// runs out.
#include "guibackend/Clipboard.h"

#include "win32/TextConversion.h"
#include "win32/UniqueHandles.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace
{
// The clipboard is opened without an owner window: the backend never delays rendering.
class OpenedClipboard
{
public:
    OpenedClipboard() : opened(OpenClipboard(nullptr) != FALSE) {}
    ~OpenedClipboard()
    {
        if (opened)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return opened; }

private:
    bool opened;
};

class LockedMemory
{
public:
    explicit LockedMemory(HGLOBAL block) : block(block), data(block != nullptr ? GlobalLock(block) : nullptr)
    {
    }
    ~LockedMemory()
    {
        if (data != nullptr)
            GlobalUnlock(block);
    }
    LockedMemory(const LockedMemory&) = delete;
    LockedMemory& operator=(const LockedMemory&) = delete;
    void* Data() const { return data; }

private:
    HGLOBAL block;
    void* data;
};
} // namespace

void ClipboardPaste(nk_handle, nk_text_edit* textEdit)
{
    if (textEdit == nullptr || !IsClipboardFormatAvailable(CF_UNICODETEXT))
        return;
    OpenedClipboard clipboard;
    if (!clipboard.IsOpen())
        return;
    HANDLE block = GetClipboardData(CF_UNICODETEXT);
    if (block == nullptr)
        return;
    LockedMemory locked(block);
    const auto* wide = static_cast<const wchar_t*>(locked.Data());
    if (wide == nullptr)
        return;
    // The text ends at its terminator or at the end of the block, whichever comes first: a block may be
    // bigger than its text, and one of zero or one byte holds no character at all.
    const size_t capacity = GlobalSize(block) / sizeof(wchar_t);
    const int count = static_cast<int>(wcsnlen(wide, capacity));
    if (count == 0)
        return;
    // The text goes in as typed text: nk_textedit_paste of Nuklear 4.00.1 takes its byte length for a
    // count of characters, reading past the end of any text that is not plain ASCII, and moves the cursor
    // by bytes. Typed text also keeps the edit's filter and single-line rule.
    const std::string utf8 = WideToUtf8(std::wstring(wide, static_cast<size_t>(count)));
    if (!utf8.empty())
        nk_textedit_text(textEdit, utf8.data(), static_cast<int>(utf8.size()));
}

void ClipboardCopy(nk_handle, const char* text, int byteLength)
{
    if (text == nullptr || byteLength <= 0)
        return;
    OpenedClipboard clipboard;
    if (!clipboard.IsOpen())
        return;
    const int count = MultiByteToWideChar(CP_UTF8, 0, text, byteLength, nullptr, 0);
    if (count <= 0)
        return;
    UniqueGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, (static_cast<SIZE_T>(count) + 1) * sizeof(wchar_t)));
    if (!block)
        return;
    {
        LockedMemory locked(block.get());
        auto* wide = static_cast<wchar_t*>(locked.Data());
        if (wide == nullptr)
            return;
        MultiByteToWideChar(CP_UTF8, 0, text, byteLength, wide, count);
        wide[count] = L'\0';
    }
    // The clipboard owns the block once SetClipboardData took it.
    if (SetClipboardData(CF_UNICODETEXT, block.get()) != nullptr)
        block.release();
}
