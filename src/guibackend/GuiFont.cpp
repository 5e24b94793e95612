// The default GUI font, text measurement and text output through the graphics library.
#include "guibackend/GuiFont.h"

#include "graphwin/gravo.h"
#include "guibackend/GuiBackend.h"
#include "win32/TextConversion.h"

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>

namespace
{
// The default font owns its LOGFONTW; a PageFont's GuiFont points into its page object instead.
struct OwnedGuiFont : GuiFont
{
    LOGFONTW ownLogfont;
};

void CopyFaceName(LOGFONTW* font, const std::wstring& face)
{
    // lfFaceName holds 31 characters and the terminator; a longer name is cut rather than overrun.
    const size_t length = face.size() < LF_FACESIZE - 1 ? face.size() : LF_FACESIZE - 1;
    wmemcpy(font->lfFaceName, face.c_str(), length);
    font->lfFaceName[length] = L'\0';
}

const LOGFONTW* LogfontOf(nk_handle handle)
{
    const auto* font = static_cast<const GuiFont*>(handle.ptr);
    return font != nullptr ? font->logfont : nullptr;
}
} // namespace

GuiFont* CreateGuiFont(const char* faceName, int height, int width)
{
    LOGFONTW style{};
    GetFont(&style);
    style.lfHeight = height;
    style.lfWidth = width;
    style.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    style.lfQuality = PROOF_QUALITY;
    CopyFaceName(&style, Utf8ToWide(faceName));
    SetFont(&style);

    auto* font = new (std::nothrow) OwnedGuiFont();
    if (font == nullptr)
        return nullptr;
    GetFont(&font->ownLogfont);
    font->logfont = &font->ownLogfont;
    return font;
}

void DestroyGuiFont(GuiFont* font)
{
    delete static_cast<OwnedGuiFont*>(font);
}

bool SameLogfont(const LOGFONTW& a, const LOGFONTW& b)
{
    return std::memcmp(&a, &b, offsetof(LOGFONTW, lfFaceName)) == 0 &&
           std::wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

// Measured on the backend's own DC rather than through the library's text style, which would create two
// GDI fonts per measurement (the font and the style put back); Nuklear measures every label of every frame.
const LOGFONTW* LogfontOfFont(const nk_user_font* font)
{
    return font != nullptr ? LogfontOf(font->userdata) : nullptr;
}

float GuiTextWidth(nk_handle handle, float, const char* text, int byteLength)
{
    const LOGFONTW* logfont = LogfontOf(handle);
    if (logfont == nullptr || text == nullptr)
        return 0.0f;
    return static_cast<float>(TheGuiBackend().measurer.Width(*logfont, text, byteLength));
}

void DrawGuiText(int x, int y, const char* text)
{
    if (text != nullptr)
        TextAt(x, y, Utf8ToWide(text).c_str());
}
