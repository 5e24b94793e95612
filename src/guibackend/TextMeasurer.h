// Text measurement for Nuklear's width callback: a memory DC of its own with one GDI font kept per
// LOGFONTW and left selected, and the widths of every prefix of the last text measured, because Nuklear
// clamps a label that overflows its slot by asking for the width of each prefix in turn.
#pragma once

#include "win32/UniqueHandles.h"

#include <windows.h>

#include <string>
#include <vector>

class TextMeasurer
{
public:
    // The width in pixels of the first byteLength bytes (-1: up to the terminator) of the UTF-8 text in
    // logfont; the text ends at a zero character as Windows' own text functions take it.
    int Width(const LOGFONTW& logfont, const char* text, int byteLength);
    // Frees the DC and the fonts; the next measurement makes them again.
    void Release();

private:
    struct CachedFont
    {
        LOGFONTW logfont;
        UniqueFont font;
    };
    // The last text measured: its UTF-8 bytes, for each byte offset the UTF-16 length of the text before
    // it (-1 inside a character or past an invalid or zero byte), and the width of each UTF-16 prefix.
    struct MeasuredText
    {
        HFONT font = nullptr;
        std::string utf8;
        std::vector<int> unitsAt;
        std::vector<int> prefixWidths;
    };

    HFONT Select(const LOGFONTW& logfont);
    HFONT FontFor(const LOGFONTW& logfont);
    void ForgetFonts();
    int Measure(HFONT font, const char* text, int byteLength);

    UniqueMemoryDc dc_;
    std::vector<CachedFont> fonts_;
    HFONT selected_ = nullptr;
    MeasuredText last_;
};
