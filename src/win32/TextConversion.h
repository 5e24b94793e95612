// The conversions between UTF-8 (Nuklear's labels, gcc's report, one-line text files) and the UTF-16 wide
// strings of every path and Windows text. Header-only; invalid input converts to an empty string.
#pragma once

#include <windows.h>

#include <string>

// byteLength -1: text is terminated.
inline std::wstring Utf8ToWide(const char* text, int byteLength = -1)
{
    if (text == nullptr || byteLength == 0)
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

inline std::wstring Utf8ToWide(const std::string& text)
{
    return Utf8ToWide(text.data(), static_cast<int>(text.size()));
}

inline std::string WideToUtf8(const std::wstring& wideText)
{
    const int length = static_cast<int>(wideText.size());
    if (length == 0)
        return std::string();
    const int count = WideCharToMultiByte(CP_UTF8, 0, wideText.data(), length, nullptr, 0, nullptr, nullptr);
    if (count <= 0)
        return std::string();
    std::string utf8(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wideText.data(), length, &utf8[0], count, nullptr, nullptr);
    return utf8;
}

inline std::string WideToUtf8(const wchar_t* wideText)
{
    return wideText != nullptr ? WideToUtf8(std::wstring(wideText)) : std::string();
}
