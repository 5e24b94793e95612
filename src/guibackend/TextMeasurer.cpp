#include "guibackend/TextMeasurer.h"

#include "guibackend/GuiFont.h"
#include "win32/TextConversion.h"

#include <cstring>
#include <cwchar>
#include <utility>

namespace
{
// The wizard uses a handful of fonts and a few dozen texts; a program that makes many starts the cache
// afresh at these sizes.
constexpr size_t maxFonts = 32;
constexpr size_t maxTexts = 512;

// The key of a text in a font: the font handle's bytes, then the text's.
std::string TextKey(HFONT font, const char* text, size_t length)
{
    std::string key(reinterpret_cast<const char*>(&font), sizeof font);
    key.append(text, length);
    return key;
}

bool InRange(unsigned char byte, unsigned char low, unsigned char high)
{
    return byte >= low && byte <= high;
}

// The length of the well-formed UTF-8 character at text[0..available), or 0 where there is none: only
// there does a prefix convert to the same UTF-16 units as the whole text does.
int CharacterLength(const unsigned char* text, size_t available)
{
    const unsigned char lead = text[0];
    if (lead >= 0x01 && lead <= 0x7F)
        return 1;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    int length = 0;
    if (InRange(lead, 0xC2, 0xDF))
        length = 2;
    else if (InRange(lead, 0xE0, 0xEF))
    {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    }
    else if (InRange(lead, 0xF0, 0xF4))
    {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || static_cast<size_t>(length) > available || !InRange(text[1], low, high))
        return 0;
    for (int i = 2; i < length; ++i)
        if (!InRange(text[i], 0x80, 0xBF))
            return 0;
    return length;
}

// unitsAt of the text: the UTF-16 length before every character boundary of its well-formed start.
void FillUnitsAt(const std::string& utf8, std::vector<int>& unitsAt)
{
    unitsAt.assign(utf8.size() + 1, -1);
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    size_t offset = 0;
    int units = 0;
    unitsAt[0] = 0;
    while (offset < utf8.size())
    {
        const int length = CharacterLength(bytes + offset, utf8.size() - offset);
        if (length == 0)
            break;
        offset += static_cast<size_t>(length);
        units += length == 4 ? 2 : 1;
        unitsAt[offset] = units;
    }
}
} // namespace

int TextMeasurer::Width(const LOGFONTW& logfont, const char* text, int byteLength)
{
    if (text == nullptr)
        return 0;
    const size_t length = byteLength < 0 ? std::strlen(text) : static_cast<size_t>(byteLength);
    HFONT font = Prepare(logfont);
    if (font == nullptr)
        return 0;
    if (last_ != nullptr && font == last_->font && length < last_->utf8.size() &&
        std::memcmp(text, last_->utf8.data(), length) == 0 && MeasurePrefixes() &&
        last_->unitsAt[length] >= 0)
    {
        const int units = last_->unitsAt[length];
        return units == 0 ? 0 : last_->prefixWidths[static_cast<size_t>(units) - 1];
    }
    std::string key = TextKey(font, text, length);
    const auto found = texts_.find(key);
    if (found != texts_.end())
    {
        last_ = &found->second;
        return last_->width;
    }
    return Measure(font, text, length, std::move(key));
}

int TextMeasurer::Measure(HFONT font, const char* text, size_t length, std::string key)
{
    const std::wstring wide = Utf8ToWide(text, static_cast<int>(length));
    SIZE size = {0, 0};
    last_ = nullptr;
    Select(font);
    if (!GetTextExtentPoint32W(dc_.get(), wide.c_str(), static_cast<int>(std::wcslen(wide.c_str())), &size))
        return 0;
    if (texts_.size() == maxTexts)
        texts_.clear();
    MeasuredText& measured = texts_[std::move(key)];
    measured.font = font;
    measured.utf8.assign(text, length);
    measured.width = size.cx;
    last_ = &measured;
    return size.cx;
}

// The widths of every prefix of the last text in one GetTextExtentExPointW, in its font.
bool TextMeasurer::MeasurePrefixes()
{
    if (last_->hasPrefixes)
        return true;
    Select(last_->font);
    const std::wstring wide = Utf8ToWide(last_->utf8);
    const int units = static_cast<int>(std::wcslen(wide.c_str()));
    last_->prefixWidths.assign(static_cast<size_t>(units), 0);
    SIZE size = {0, 0};
    if (units > 0 &&
        !GetTextExtentExPointW(dc_.get(), wide.c_str(), units, 0, nullptr, last_->prefixWidths.data(), &size))
        return false;
    FillUnitsAt(last_->utf8, last_->unitsAt);
    last_->hasPrefixes = true;
    return true;
}

HFONT TextMeasurer::Prepare(const LOGFONTW& logfont)
{
    if (!dc_)
    {
        // A memory DC compatible with the screen measures as the library's image DC does (MM_TEXT and the
        // advanced graphics mode, the same font), so the widths are the library's.
        dc_.reset(CreateCompatibleDC(nullptr));
        if (!dc_)
            return nullptr;
        SetGraphicsMode(dc_.get(), GM_ADVANCED);
    }
    return FontFor(logfont);
}

void TextMeasurer::Select(HFONT font)
{
    if (font != selected_)
    {
        SelectObject(dc_.get(), font);
        selected_ = font;
    }
}

HFONT TextMeasurer::FontFor(const LOGFONTW& logfont)
{
    for (const CachedFont& cached : fonts_)
        if (SameLogfont(cached.logfont, logfont))
            return cached.font.get();
    if (fonts_.size() == maxFonts)
        ForgetFonts();
    UniqueFont font(CreateFontIndirectW(&logfont));
    if (!font)
        return nullptr;
    fonts_.push_back(CachedFont{logfont, std::move(font)});
    return fonts_.back().font.get();
}

void TextMeasurer::ForgetFonts()
{
    if (dc_)
        SelectObject(dc_.get(), GetStockObject(SYSTEM_FONT));
    selected_ = nullptr;
    // A font made later may have the handle of one deleted here.
    texts_.clear();
    last_ = nullptr;
    fonts_.clear();
}

void TextMeasurer::Release()
{
    ForgetFonts();
    dc_.reset();
}
