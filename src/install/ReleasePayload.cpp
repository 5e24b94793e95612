#include "install/ReleasePayload.h"

#include "install/CheckedFileOps.h"

#include <windows.h>

namespace
{

// Far above any release file: a larger one is not the build's, and is not read into memory.
constexpr size_t releaseFileLimit = 64u << 20;

const ReleaseDigest* RecordedDigest(const std::wstring& relativePath)
{
    for (size_t index = 0; index < releaseDigestCount; ++index)
    {
        const ReleaseDigest& entry = releaseDigests[index];
        if (CompareStringOrdinal(entry.path, -1, relativePath.c_str(), static_cast<int>(relativePath.size()),
                                 TRUE) == CSTR_EQUAL)
            return &entry;
    }
    return nullptr;
}

} // namespace

bool ReadReleaseFile(const std::wstring& releaseFolder, const std::wstring& relativePath,
                     std::string& contents)
{
    contents.clear();
    const ReleaseDigest* recorded = RecordedDigest(relativePath);
    Sha256Digest digest{};
    if (recorded == nullptr || !ReadCheckedFile(releaseFolder + relativePath, releaseFileLimit, contents) ||
        !Sha256Of(contents, digest) || digest != recorded->sha256)
    {
        contents.clear();
        return false;
    }
    return true;
}
