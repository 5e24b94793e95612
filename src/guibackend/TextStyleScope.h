// Scoped changes of the graphics library's text style, shared by text measurement and the text command:
// every use of a font other than the default GUI font puts the current style back when it ends.
#pragma once

#include <windows.h>

namespace GuiBackend
{
// Makes font (when not null) the graphics library's current text style until the scope ends.
class ScopedTextStyle
{
public:
    explicit ScopedTextStyle(const LOGFONTW* font);
    ~ScopedTextStyle();
    ScopedTextStyle(const ScopedTextStyle&) = delete;
    ScopedTextStyle& operator=(const ScopedTextStyle&) = delete;

private:
    LOGFONTW saved;
};
} // namespace GuiBackend
