// The image device's text: drawing and measuring with the target's font, and choosing that font.
#include "graphwin/DrawOnImg.h"

#include "graphwin/ImageAccess.h"

#include <cwchar>

namespace Gravo
{
namespace
{
// Size and face; a null face keeps the font's own.
void SetSize(LOGFONTW& font, int height, int width, const wchar_t* face)
{
    font.lfHeight = height;
    font.lfWidth = width;
    if (face != nullptr)
    {
        wcsncpy_s(font.lfFaceName, face, _TRUNCATE);
    }
}

void SetShape(LOGFONTW& font, int height, int width, const wchar_t* face, int escapement, int orientation,
              int weight, bool italic, bool underline, bool strikeOut)
{
    SetSize(font, height, width, face);
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = italic;
    font.lfUnderline = underline;
    font.lfStrikeOut = strikeOut;
}
} // namespace

void DrawOnImg::TextAt(int x, int y, const wchar_t* text)
{
    TextOutW(Dc(), x, y, text, static_cast<int>(std::wcslen(text)));
}

int DrawOnImg::TextInRect(const wchar_t* text, RECT* rect, UINT format)
{
    return DrawTextW(Dc(), text, -1, rect, format);
}

int DrawOnImg::TextWidth(const wchar_t* text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(Dc(), text, static_cast<int>(std::wcslen(text)), &size);
    return size.cx;
}

int DrawOnImg::TextHeight(const wchar_t* text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(Dc(), text, static_cast<int>(std::wcslen(text)), &size);
    return size.cy;
}

void DrawOnImg::SetFont(const LOGFONTW* font)
{
    ImageAccess::SelectFont(Target(), *font);
}

void DrawOnImg::SetTextStyle(int height, int width, const wchar_t* face, int escapement, int orientation,
                             int weight, bool italic, bool underline, bool strikeOut, BYTE charSet,
                             BYTE outPrecision, BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily)
{
    LOGFONTW font = {};
    SetShape(font, height, width, face, escapement, orientation, weight, italic, underline, strikeOut);
    font.lfCharSet = charSet;
    font.lfOutPrecision = outPrecision;
    font.lfClipPrecision = clipPrecision;
    font.lfQuality = quality;
    font.lfPitchAndFamily = pitchAndFamily;
    SetFont(&font);
}

void DrawOnImg::SetTextStyle(int height, int width, const wchar_t* face, int escapement, int orientation,
                             int weight, bool italic, bool underline, bool strikeOut)
{
    LOGFONTW font;
    GetFont(&font);
    SetShape(font, height, width, face, escapement, orientation, weight, italic, underline, strikeOut);
    SetFont(&font);
}

void DrawOnImg::SetTextStyle(int height, int width, const wchar_t* face)
{
    LOGFONTW font;
    GetFont(&font);
    SetSize(font, height, width, face);
    SetFont(&font);
}

void DrawOnImg::GetFont(LOGFONTW* font)
{
    GetObjectW(GetCurrentObject(Dc(), OBJ_FONT), sizeof(LOGFONTW), font);
}

} // namespace Gravo
