// Plain, case-blind text matching for discovery: the linear stand-ins for the name and report patterns it
// recognises (registry display names, folder and file names, gcc's report). Nothing here recurses or
// backtracks, so no length of input can exhaust the stack. Letters fold as ASCII; needs only <string>.
#pragma once

#include <cstddef>
#include <string>

// Position of the first `part` in `text` at or after `from`, ignoring case; npos when there is none.
std::size_t FindIgnoringCase(const std::wstring& text, const wchar_t* part, std::size_t from = 0);
bool ContainsIgnoringCase(const std::wstring& text, const wchar_t* part);
bool StartsWithIgnoringCase(const std::wstring& text, const wchar_t* part);
// True when `part` stands in `text` at position `at`, ignoring case.
bool MatchesIgnoringCaseAt(const std::wstring& text, std::size_t at, const wchar_t* part);
bool EndsWithIgnoringCase(const std::wstring& text, const wchar_t* part);

// The line ends a pattern's "." does not match: line feed, carriage return, U+2028 and U+2029.
bool IsLineTerminator(wchar_t c);
// True when the text holds no line terminator.
bool IsSingleLine(const std::wstring& text);

// A one-line text made of `prefix`, then anything holding `infix`, then `suffix`, ignoring case: what the
// pattern "^prefix.*?infix.*?suffix$" finds. Empty parts match anywhere.
struct LinePattern
{
    const wchar_t* prefix;
    const wchar_t* infix;
    const wchar_t* suffix;
};
bool MatchesLinePattern(const std::wstring& text, const LinePattern& pattern);

// Groups of decimal digits separated by single dots ("14.29.30133" has three); 0 for anything else.
int DottedDigitGroups(const std::wstring& text);
