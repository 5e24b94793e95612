// Where a link leads, read from the reparse data that FSCTL_GET_REPARSE_POINT returns: junctions and volume
// mount points (IO_REPARSE_TAG_MOUNT_POINT) and symbolic links, absolute or relative. A pure function of
// the bytes, so that every layout can be tested without a file system that makes links.
#pragma once

#include <cstddef>
#include <string>

enum class LinkTargetKind
{
    unreadable, // an unknown tag, a truncated or inconsistent buffer, or a target that is no local path
    drivePath,  // "C:\x\y"
    volume,     // a volume named by its GUID: "Volume{...}", and a path below its root
    relative,   // a relative symbolic link: a path from the folder that holds the link
};

struct LinkTarget
{
    LinkTargetKind kind = LinkTargetKind::unreadable;
    std::wstring
        path; // drivePath: absolute; volume: below the volume's root (may be empty); relative: as stored
    std::wstring volume; // volume only: "Volume{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"
};

LinkTarget ParseReparseData(const unsigned char* data, size_t size);
