#include "install/NtFiles.h"

#include "win32/SystemLibrary.h"

namespace
{

// ntdll's own records, declared here with the layout Windows gives them: winternl.h of MinGW and of the
// Windows SDK differ in what they declare.
struct NtUnicodeString
{
    USHORT length;
    USHORT maximumLength;
    PWSTR buffer;
};

struct NtObjectAttributes
{
    ULONG length;
    HANDLE rootDirectory;
    NtUnicodeString* objectName;
    ULONG attributes;
    void* securityDescriptor;
    void* securityQualityOfService;
};

struct NtIoStatus
{
    union
    {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};

struct DeviceInformation
{
    ULONG deviceType;
    ULONG characteristics;
};

constexpr ULONG caseInsensitive = 0x40;   // OBJ_CASE_INSENSITIVE: names compare as the file system does
constexpr int deviceInformationClass = 4; // FileFsDeviceInformation

// Device types and characteristics of FILE_FS_DEVICE_INFORMATION (ntddk.h).
constexpr ULONG cdRom = 0x02, cdRomFileSystem = 0x03, disk = 0x07, diskFileSystem = 0x08, network = 0x12,
                networkFileSystem = 0x14, virtualDisk = 0x24, dfs = 0x06, dvd = 0x33,
                networkRedirector = 0x28;
constexpr ULONG removableMedia = 0x1, remoteDevice = 0x10;

using NtCreateFileFn = LONG(NTAPI*)(HANDLE*, ACCESS_MASK, NtObjectAttributes*, NtIoStatus*, LARGE_INTEGER*,
                                    ULONG, ULONG, ULONG, ULONG, void*, ULONG);
using NtQueryVolumeFn = LONG(NTAPI*)(HANDLE, NtIoStatus*, void*, ULONG, int);
using ToWin32ErrorFn = ULONG(NTAPI*)(LONG);

} // namespace

VolumeKind VolumeKindFromDevice(unsigned long deviceType, unsigned long characteristics)
{
    switch (deviceType)
    {
    case cdRom:
    case cdRomFileSystem:
    case dvd:
        return VolumeKind::removable;
    case network:
    case networkFileSystem:
    case networkRedirector:
    case dfs:
        return VolumeKind::remote;
    case disk:
    case diskFileSystem:
        if (characteristics & remoteDevice)
            return VolumeKind::remote;
        return (characteristics & removableMedia) ? VolumeKind::removable : VolumeKind::fixed;
    case virtualDisk:
    default:
        return VolumeKind::other;
    }
}

NtFiles::NtFiles() : ntdll_(LoadSystemLibrary(L"ntdll.dll"))
{
    if (!ntdll_)
        return;
    create_ = ResolveFunction<AnyFunction>(ntdll_.get(), "NtCreateFile");
    queryVolume_ = ResolveFunction<AnyFunction>(ntdll_.get(), "NtQueryVolumeInformationFile");
    toWin32Error_ = ResolveFunction<AnyFunction>(ntdll_.get(), "RtlNtStatusToDosError");
}

bool NtFiles::Loaded() const
{
    return create_ != nullptr && queryVolume_ != nullptr && toWin32Error_ != nullptr;
}

UniqueFile NtFiles::Open(HANDLE folder, const std::wstring& name, unsigned long access, unsigned long share,
                         unsigned long disposition, unsigned long options, unsigned long& error) const
{
    error = ERROR_INVALID_FUNCTION;
    if (!Loaded() || name.size() * sizeof(wchar_t) > 0xFFFE)
        return UniqueFile();
    std::wstring text = name;
    NtUnicodeString objectName{static_cast<USHORT>(text.size() * sizeof(wchar_t)),
                               static_cast<USHORT>(text.size() * sizeof(wchar_t)), &text[0]};
    NtObjectAttributes attributes{
        sizeof(NtObjectAttributes), folder, &objectName, caseInsensitive, nullptr, nullptr};
    NtIoStatus status{};
    HANDLE opened = nullptr;
    const auto create = reinterpret_cast<NtCreateFileFn>(create_);
    const LONG result =
        create(&opened, access | SYNCHRONIZE, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL, share,
               disposition, options | NtCreate::synchronous, nullptr, 0);
    if (result < 0 || opened == nullptr)
    {
        error = reinterpret_cast<ToWin32ErrorFn>(toWin32Error_)(result);
        return UniqueFile();
    }
    error = ERROR_SUCCESS;
    return UniqueFile(opened);
}

VolumeKind NtFiles::VolumeOf(HANDLE handle) const
{
    if (!Loaded())
        return VolumeKind::other;
    DeviceInformation device{};
    NtIoStatus status{};
    const auto query = reinterpret_cast<NtQueryVolumeFn>(queryVolume_);
    if (query(handle, &status, &device, sizeof device, deviceInformationClass) < 0)
        return VolumeKind::other;
    return VolumeKindFromDevice(device.deviceType, device.characteristics);
}
