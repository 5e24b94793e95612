// Fonts and text of the GUI backend: the default GUI font, text measurement and drawing through the
// graphics library, and the UTF-8/UTF-16 conversions between Nuklear and Windows.
#include "guibackend/GuiFont.h"

#include "graphwin/gravo.h"

#include <cwchar>
#include <new>

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

// Makes a font the graphics library's current text style until the scope ends: every use of a font other
// than the default GUI font puts the current style back.
class ScopedTextStyle
{
public:
    explicit ScopedTextStyle(const LOGFONTW* font) : saved()
    {
        GetFont(&saved);
        SetFont(font);
    }
    ~ScopedTextStyle() { SetFont(&saved); }
    ScopedTextStyle(const ScopedTextStyle&) = delete;
    ScopedTextStyle& operator=(const ScopedTextStyle&) = delete;

private:
    LOGFONTW saved;
};
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

float GuiTextWidth(nk_handle handle, float, const char* text, int byteLength)
{
    const LOGFONTW* logfont = LogfontOf(handle);
    if (logfont == nullptr || text == nullptr)
        return 0.0f;
    ScopedTextStyle style(logfont);
    return static_cast<float>(TextWidth(Utf8ToWide(text, byteLength).c_str()));
}

void DrawGuiText(int x, int y, const char* text)
{
    if (text != nullptr)
        TextAt(x, y, Utf8ToWide(text).c_str());
}

std::wstring Utf8ToWide(const char* text, int byteLength)
{
    if (text == nullptr)
        return std::wstring();
    const int count = MultiByteToWideChar(CP_UTF8, 0, text, byteLength, nullptr, 0);
    if (count <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, byteLength, &wide[0], count);
    // A terminated source converts its terminator too; the string keeps its own.
    if (byteLength < 0)
        wide.pop_back();
    return wide;
}

std::string WideToUtf8(const wchar_t* wideText)
{
    return wideText != nullptr ? WideToUtf8(std::wstring(wideText)) : std::string();
}

std::string WideToUtf8(const std::wstring& wideText)
{
    const int length = static_cast<int>(wideText.size());
    const int count = WideCharToMultiByte(CP_UTF8, 0, wideText.data(), length, nullptr, 0, nullptr, nullptr);
    if (count <= 0)
        return std::string();
    std::string utf8(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wideText.data(), length, &utf8[0], count, nullptr, nullptr);
    return utf8;
}
