// Files opened relative to an open folder through ntdll's NtCreateFile (resolved at run time from the
// system folder), never by a path string that could be re-read after a check; and the kind of volume an open
// handle lies on. Needs ntdll.dll, which every process has.
#pragma once

#include "win32/UniqueHandles.h"

#include <string>

// What the volume of an open handle is, as GetDriveType would tell it.
enum class VolumeKind
{
    fixed,
    removable, // removable media, a CD or DVD
    remote,
    other, // a RAM disk, a virtual disk, or a device the system cannot name
};

// GetDriveType's rule on a volume's device type and characteristics (FILE_FS_DEVICE_INFORMATION).
VolumeKind VolumeKindFromDevice(unsigned long deviceType, unsigned long characteristics);

// NtCreateFile's dispositions and options, under names of their own (the SDK headers of MinGW and Visual C++
// do not agree on which of them they declare).
namespace NtCreate
{
constexpr unsigned long openExisting = 1;
constexpr unsigned long createNew = 2;
constexpr unsigned long directoryOnly = 0x1;
constexpr unsigned long nonDirectory = 0x40;
constexpr unsigned long synchronous = 0x20;
constexpr unsigned long openReparsePoint = 0x200000;
} // namespace NtCreate

class NtFiles
{
public:
    NtFiles();
    NtFiles(const NtFiles&) = delete;
    NtFiles& operator=(const NtFiles&) = delete;

    bool Loaded() const;

    // Opens `name` (one component, no backslash) inside `folder`, or the NT path `name` when `folder` is
    // null ("\??\C:\", "\??\Volume{...}\"). Always synchronous. On failure the handle is empty and `error`
    // holds the Win32 error code.
    UniqueFile Open(HANDLE folder, const std::wstring& name, unsigned long access, unsigned long share,
                    unsigned long disposition, unsigned long options, unsigned long& error) const;

    // The kind of volume the handle lies on; `other` when the system cannot tell.
    VolumeKind VolumeOf(HANDLE handle) const;

private:
    using AnyFunction = void (*)();
    UniqueModule ntdll_;
    AnyFunction create_ = nullptr;
    AnyFunction queryVolume_ = nullptr;
    AnyFunction toWin32Error_ = nullptr;
};
