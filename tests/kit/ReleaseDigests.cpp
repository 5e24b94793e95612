// Prints the release files' digests that the wizard carries, one a line in sha256sum's format with "/"
// between folders, for check-digests.sh to check against the staged release files.
#include "install/ReleasePayload.h"

#include <cstdio>

int main()
{
    for (size_t index = 0; index < releaseDigestCount; ++index)
    {
        const ReleaseDigest& entry = releaseDigests[index];
        for (unsigned char byte : entry.sha256)
            std::printf("%02x", byte);
        std::printf("  ");
        // Release paths are ASCII; anything else is printed as '?' and so can never match a file.
        for (const wchar_t* c = entry.path; *c != L'\0'; ++c)
            std::putchar(*c == L'\\' ? '/' : (*c < 0x80 ? static_cast<char>(*c) : '?'));
        std::putchar('\n');
    }
    return 0;
}
