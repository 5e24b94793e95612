// Fonts and text of the GUI backend: the default GUI font, text measurement and drawing through the
// graphics library, and the UTF-8/UTF-16 conversions between Nuklear and Windows.
#include "guibackend/GuiFont.h"

#include "graphwin/gravo.h"

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

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

// Text measurement on a memory DC of its own, with one GDI font per LOGFONTW kept for the process. Going
// through the graphics library's text style instead creates two GDI fonts per measurement (the font and the
// style put back), and Nuklear measures every label of every frame. A memory DC compatible with the screen
// measures as the library's image DC does (both MM_TEXT and the advanced graphics mode, the same font), so
// the widths are the same.
class TextMeasurer
{
public:
    TextMeasurer() : dc(CreateCompatibleDC(nullptr))
    {
        if (dc != nullptr)
            SetGraphicsMode(dc, GM_ADVANCED);
    }
    ~TextMeasurer()
    {
        Forget();
        if (dc != nullptr)
            DeleteDC(dc);
    }
    TextMeasurer(const TextMeasurer&) = delete;
    TextMeasurer& operator=(const TextMeasurer&) = delete;

    int Width(const LOGFONTW& logfont, const std::wstring& text)
    {
        HFONT font = FontFor(logfont);
        if (dc == nullptr || font == nullptr)
            return 0;
        SelectObject(dc, font);
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(std::wcslen(text.c_str())), &size);
        return size.cx;
    }

private:
    struct CachedFont
    {
        LOGFONTW logfont;
        HFONT font;
    };
    // The wizard uses a handful of fonts; a program that makes many starts the cache afresh at this size.
    static constexpr size_t maxFonts = 32;

    HFONT FontFor(const LOGFONTW& logfont)
    {
        for (const CachedFont& cached : fonts)
            if (SameFont(cached.logfont, logfont))
                return cached.font;
        if (fonts.size() == maxFonts)
            Forget();
        HFONT font = CreateFontIndirectW(&logfont);
        if (font != nullptr)
            fonts.push_back(CachedFont{logfont, font});
        return font;
    }
    // Everything before the face name, and the face name up to its terminator: what follows the terminator
    // is whatever the LOGFONTW's writer left there.
    static bool SameFont(const LOGFONTW& a, const LOGFONTW& b)
    {
        return std::memcmp(&a, &b, offsetof(LOGFONTW, lfFaceName)) == 0 &&
               std::wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
    }
    void Forget()
    {
        if (dc != nullptr)
            SelectObject(dc, GetStockObject(SYSTEM_FONT));
        for (const CachedFont& cached : fonts)
            DeleteObject(cached.font);
        fonts.clear();
    }

    HDC dc;
    std::vector<CachedFont> fonts;
};

TextMeasurer& Measurer()
{
    static TextMeasurer measurer;
    return measurer;
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

float GuiTextWidth(nk_handle handle, float, const char* text, int byteLength)
{
    const LOGFONTW* logfont = LogfontOf(handle);
    if (logfont == nullptr || text == nullptr)
        return 0.0f;
    return static_cast<float>(Measurer().Width(*logfont, Utf8ToWide(text, byteLength)));
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
