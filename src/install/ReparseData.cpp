#include "install/ReparseData.h"

#include <cstdint>
#include <cstring>

namespace
{

constexpr uint32_t mountPointTag = 0xA0000003; // IO_REPARSE_TAG_MOUNT_POINT: junctions and volume mounts
constexpr uint32_t symbolicLinkTag = 0xA000000C;
constexpr uint32_t relativeFlag = 1; // SYMLINK_FLAG_RELATIVE
constexpr size_t headerBytes = 8;    // tag, data length, reserved
constexpr size_t namesBytes = 8;     // substitute offset and length, print offset and length

uint16_t Word(const unsigned char* at)
{
    uint16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

uint32_t Dword(const unsigned char* at)
{
    uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// "Volume{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" exactly.
bool IsVolumeName(const std::wstring& name)
{
    const std::wstring prefix = L"Volume{";
    if (name.size() != prefix.size() + 37 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.back() != L'}')
        return false;
    for (size_t i = 0; i < 36; ++i)
    {
        const wchar_t c = name[prefix.size() + i];
        if ((i == 8 || i == 13 || i == 18 || i == 23) ? c != L'-' : !IsHexDigit(c))
            return false;
    }
    return true;
}

bool IsDrivePath(const std::wstring& path)
{
    const bool letter =
        path.size() >= 2 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    return letter && path[1] == L':' && (path.size() == 2 || path[2] == L'\\');
}

// An absolute target as the object manager names it: "\??\C:\x" or "\??\Volume{...}\x". Anything else
// ("\??\UNC\server\share", "\Device\...", "\??\GLOBALROOT\...") names no local path.
LinkTarget AbsoluteTarget(const std::wstring& substitute)
{
    const std::wstring ntPrefix = L"\\??\\";
    LinkTarget target;
    if (substitute.compare(0, ntPrefix.size(), ntPrefix) != 0)
        return target;
    const std::wstring rest = substitute.substr(ntPrefix.size());
    if (IsDrivePath(rest))
    {
        target.kind = LinkTargetKind::drivePath;
        target.path = rest;
        return target;
    }
    const size_t cut = rest.find(L'\\');
    const std::wstring volume = rest.substr(0, cut);
    if (!IsVolumeName(volume))
        return target;
    target.kind = LinkTargetKind::volume;
    target.volume = volume;
    target.path = cut == std::wstring::npos ? std::wstring() : rest.substr(cut + 1);
    return target;
}

// A relative target names a path below or beside the link's folder, never a drive or a root.
LinkTarget RelativeTarget(const std::wstring& substitute)
{
    LinkTarget target;
    if (substitute.empty() || substitute[0] == L'\\' || substitute.find(L':') != std::wstring::npos)
        return target;
    target.kind = LinkTargetKind::relative;
    target.path = substitute;
    return target;
}

} // namespace

LinkTarget ParseReparseData(const unsigned char* data, size_t size)
{
    if (data == nullptr || size < headerBytes + namesBytes)
        return {};
    const uint32_t tag = Dword(data);
    const size_t end = headerBytes + Word(data + 4);
    if (end > size)
        return {};
    size_t pathBuffer = headerBytes + namesBytes;
    uint32_t flags = 0;
    if (tag == symbolicLinkTag)
    {
        if (end < pathBuffer + sizeof flags)
            return {};
        flags = Dword(data + pathBuffer);
        pathBuffer += sizeof flags;
    }
    else if (tag != mountPointTag)
    {
        return {};
    }
    if (end < pathBuffer)
        return {};
    const size_t offset = Word(data + headerBytes);
    const size_t length = Word(data + headerBytes + 2);
    if (length == 0 || length % sizeof(wchar_t) != 0 || pathBuffer + offset + length > end)
        return {};
    std::wstring substitute(length / sizeof(wchar_t), L'\0');
    std::memcpy(&substitute[0], data + pathBuffer + offset, length);
    if (substitute.find(L'\0') != std::wstring::npos)
        return {};
    return (tag == symbolicLinkTag && (flags & relativeFlag)) ? RelativeTarget(substitute)
                                                              : AbsoluteTarget(substitute);
}
