#include "discovery/TextMatch.h"

#include <cwchar>

namespace
{

wchar_t FoldCase(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualsIgnoringCaseAt(const std::wstring& text, std::size_t at, const wchar_t* part, std::size_t length)
{
    if (at > text.size() || text.size() - at < length)
        return false;
    for (std::size_t i = 0; i < length; ++i)
    {
        if (FoldCase(text[at + i]) != FoldCase(part[i]))
            return false;
    }
    return true;
}

} // namespace

bool IsLineTerminator(wchar_t c)
{
    return c == L'\n' || c == L'\r' || c == L'\u2028' || c == L'\u2029';
}

bool MatchesIgnoringCaseAt(const std::wstring& text, std::size_t at, const wchar_t* part)
{
    return EqualsIgnoringCaseAt(text, at, part, std::wcslen(part));
}

std::size_t FindIgnoringCase(const std::wstring& text, const wchar_t* part, std::size_t from)
{
    const std::size_t length = std::wcslen(part);
    for (std::size_t at = from; at <= text.size() && text.size() - at >= length; ++at)
    {
        if (EqualsIgnoringCaseAt(text, at, part, length))
            return at;
    }
    return std::wstring::npos;
}

bool ContainsIgnoringCase(const std::wstring& text, const wchar_t* part)
{
    return FindIgnoringCase(text, part) != std::wstring::npos;
}

bool StartsWithIgnoringCase(const std::wstring& text, const wchar_t* part)
{
    return EqualsIgnoringCaseAt(text, 0, part, std::wcslen(part));
}

bool EndsWithIgnoringCase(const std::wstring& text, const wchar_t* part)
{
    const std::size_t length = std::wcslen(part);
    return text.size() >= length && EqualsIgnoringCaseAt(text, text.size() - length, part, length);
}

bool IsSingleLine(const std::wstring& text)
{
    for (wchar_t c : text)
    {
        if (IsLineTerminator(c))
            return false;
    }
    return true;
}

bool MatchesLinePattern(const std::wstring& text, const LinePattern& pattern)
{
    const std::size_t prefixLength = std::wcslen(pattern.prefix);
    const std::size_t suffixLength = std::wcslen(pattern.suffix);
    if (!IsSingleLine(text) || text.size() < prefixLength + suffixLength ||
        !StartsWithIgnoringCase(text, pattern.prefix) || !EndsWithIgnoringCase(text, pattern.suffix))
        return false;
    // The infix lies between the prefix and the suffix, overlapping neither.
    const std::wstring middle = text.substr(prefixLength, text.size() - prefixLength - suffixLength);
    return ContainsIgnoringCase(middle, pattern.infix);
}

int DottedDigitGroups(const std::wstring& text)
{
    int groups = 0;
    bool inGroup = false;
    for (wchar_t c : text)
    {
        if (c >= L'0' && c <= L'9')
        {
            groups += inGroup ? 0 : 1;
            inGroup = true;
        }
        else if (c == L'.' && inGroup)
            inGroup = false;
        else
            return 0;
    }
    return inGroup ? groups : 0;
}
