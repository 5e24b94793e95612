// The release files an install takes, each read once and taken only when it is the file the build made: its
// SHA-256 is the one the build recorded for its path. The program links the digests of the files built for
// the release folder (generated from kit/release-layout.txt); a test links those of the files it lays out.
#pragma once

#include "install/Sha256.h"

#include <cstddef>
#include <string>

struct ReleaseDigest
{
    const wchar_t* path; // relative to the release folder, "\" between folders
    Sha256Digest sha256;
};

// Defined by the build: one entry for each release file the wizard installs.
extern const ReleaseDigest releaseDigests[];
extern const size_t releaseDigestCount;

// Reads release folder + relative path once, through the same path check as every write (a link at the
// file, or one the check does not take on the way, is refused). False when the file cannot be read that way,
// has no recorded digest, or differs from the build's; `contents` then holds nothing of it.
bool ReadReleaseFile(const std::wstring& releaseFolder, const std::wstring& relativePath,
                     std::string& contents);
