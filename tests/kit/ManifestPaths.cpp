// Prints every release path the wizard reads, one a line as the wizard names it ("\" between folders): the
// payload manifest's entries and the MinGW installer's source paths. check-manifest.sh compares them with the
// release layout list.
#include "install/PayloadManifest.h"

#include <cstdio>
#include <string>

namespace
{

void Print(const std::wstring& path)
{
    // Release paths are ASCII; anything else is printed as '?' and so can never match the list.
    for (wchar_t c : path)
        std::putchar(c < 0x80 ? static_cast<char>(c) : '?');
    std::putchar('\n');
}

} // namespace

int main()
{
    for (const PayloadFile& file : payloadFiles)
        Print(std::wstring(file.folder) + file.fileName);
    for (const wchar_t* source : mingwHeaderSources)
        Print(source);
    for (const wchar_t* source : mingwLib32Sources)
        Print(source);
    for (const wchar_t* source : mingwLib64Sources)
        Print(source);
    Print(mingwDevcpp54Source);
    return 0;
}
