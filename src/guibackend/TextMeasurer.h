// Text measurement for Nuklear's width callback: a memory DC of its own with one GDI font kept per
// LOGFONTW and left selected. Nuklear measures every label of every frame again, and clamps one that
// overflows its slot by asking for the width of each prefix in turn: the widths of the texts measured (up to
// a bound) and, once a prefix of the last text is asked for, the widths of all its prefixes answer those
// questions.
#pragma once

#include "win32/UniqueHandles.h"

#include <windows.h>

#include <string>
#include <unordered_map>
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
    // A text measured: its font, UTF-8 bytes and width; once a prefix was asked for, for each byte offset
    // the UTF-16 length of the text before it (-1 inside a character or past an invalid or zero byte) and
    // the width of each UTF-16 prefix.
    struct MeasuredText
    {
        HFONT font = nullptr;
        std::string utf8;
        int width = 0;
        bool hasPrefixes = false;
        std::vector<int> unitsAt;
        std::vector<int> prefixWidths;
    };

    // The font for logfont, with the DC made when missing; Select puts a font into the DC.
    HFONT Prepare(const LOGFONTW& logfont);
    void Select(HFONT font);
    HFONT FontFor(const LOGFONTW& logfont);
    void ForgetFonts();
    void ForgetTexts();
    int Measure(HFONT font, const char* text, size_t length, std::string key);
    bool MeasurePrefixes();

    UniqueMemoryDc dc_;
    std::vector<CachedFont> fonts_;
    HFONT selected_ = nullptr;
    // The texts measured, by font handle and UTF-8 bytes, and the last one asked for (null when none is).
    std::unordered_map<std::string, MeasuredText> texts_;
    MeasuredText* last_ = nullptr;
};
