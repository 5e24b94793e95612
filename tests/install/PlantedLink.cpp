#include "PlantedLink.h"

#include "install/PathTrust.h"
#include "support/ScratchFolder.h"
#include "support/Wine.h"
#include "win32/UniqueHandles.h"
#include "win32/SystemLibrary.h"
#include "win32/TextConversion.h"

#include <aclapi.h>
#include <sddl.h>
#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <vector>

namespace TestSupport
{
namespace
{

bool MakeJunction(const std::wstring& link, const std::wstring& target)
{
    if (!CreateDirectoryW(link.c_str(), nullptr))
        return false;
    UniqueFile folder(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    // Mount point data: tag, data length, reserved, then the offsets and lengths of the substitute and
    // print names and both names, each terminated.
    const std::wstring substitute = L"\\??\\" + target;
    const WORD substituteBytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    const WORD printBytes = static_cast<WORD>(target.size() * sizeof(wchar_t));
    const WORD pathBytes = static_cast<WORD>(substituteBytes + printBytes + 2 * sizeof(wchar_t));
    std::vector<unsigned char> data(8 + 8 + pathBytes);
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    const WORD header[6] = {static_cast<WORD>(8 + pathBytes),
                            0,
                            0,
                            substituteBytes,
                            static_cast<WORD>(substituteBytes + sizeof(wchar_t)),
                            printBytes};
    std::memcpy(data.data(), &tag, sizeof tag);
    std::memcpy(data.data() + 4, header, sizeof header);
    std::memcpy(data.data() + 16, substitute.c_str(), substituteBytes);
    std::memcpy(data.data() + 16 + substituteBytes + sizeof(wchar_t), target.c_str(), printBytes);
    DWORD returned = 0;
    if (folder && DeviceIoControl(folder.get(), FSCTL_SET_REPARSE_POINT, data.data(),
                                  static_cast<DWORD>(data.size()), nullptr, 0, &returned, nullptr))
        return true;
    folder.reset();
    RemoveDirectoryW(link.c_str());
    return false;
}

bool IsReparsePoint(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::string UnixPathOf(const std::wstring& path)
{
    using UnixFileName = char*(__cdecl*)(const wchar_t*);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto convert = ResolveFunction<UnixFileName>(kernel, "wine_get_unix_file_name");
    if (convert == nullptr)
        return {};
    char* unixPath = convert(path.c_str());
    if (unixPath == nullptr)
        return {};
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Wine hands a Unix program to the host without a handle to wait on: the test waits for its effect.
bool WaitUntilExists(const std::wstring& path, bool exists)
{
    for (int attempt = 0; attempt < 300; ++attempt)
    {
        if (Exists(path) == exists)
            return true;
        Sleep(20);
    }
    return false;
}

// Starts a Unix program of the host (Wine runs ELF programs given by their Windows path).
bool RunUnix(const std::wstring& program, const std::vector<std::string>& arguments)
{
    std::wstring commandLine = program;
    for (const std::string& argument : arguments)
        commandLine += L" \"" + Utf8ToWide(argument.c_str()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    // Wine gives no usable process handle for a host program: its effect is what the caller waits for.
    UniqueHandle thread(process.hThread);
    UniqueHandle child(process.hProcess);
    return true;
}

std::wstring ParentOf(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring NameOf(const std::wstring& path)
{
    return path.substr(path.find_last_of(L'\\') + 1);
}

} // namespace

PlantedLink::PlantedLink(const std::wstring& link, const std::wstring& target, LinkKind kind) : link_(link)
{
    if (kind == LinkKind::junction)
        made_ = MakeJunction(link, target);
    else
        made_ = CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
                IsReparsePoint(link);
    if (made_ || !RunningUnderWine())
        return;
    const std::string unixTarget = UnixPathOf(target);
    const std::string unixParent = UnixPathOf(ParentOf(link));
    unixLink_ = !unixTarget.empty() && !unixParent.empty() &&
                RunUnix(L"Z:\\bin\\ln", {"-s", unixTarget, unixParent + "/" + WideToUtf8(NameOf(link))});
    made_ = unixLink_ && WaitUntilExists(link, true);
}

PlantedLink::~PlantedLink()
{
    if (unixLink_ &&
        RunUnix(L"Z:\\bin\\rm", {"-f", UnixPathOf(ParentOf(link_)) + "/" + WideToUtf8(NameOf(link_))}))
        WaitUntilExists(link_, false);
    else if (made_)
        RemoveDirectoryW(link_.c_str());
}

bool PlantedLink::ReportedAsLink() const
{
    return made_ && IsReparsePoint(link_);
}

bool AdmitOnlyAdministrators(const std::wstring& folder)
{
    UniqueLocalMemory descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;AU)", SDDL_REVISION_1,
            reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()), nullptr))
        return false;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    PSID owner = nullptr;
    GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted);
    GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted);
    std::wstring name = folder;
    SetNamedSecurityInfoW(&name[0], SE_FILE_OBJECT,
                          OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                              PROTECTED_DACL_SECURITY_INFORMATION,
                          owner, nullptr, dacl, nullptr);
    UniqueLocalMemory readBack;
    PSID readOwner = nullptr;
    PACL readDacl = nullptr;
    if (GetNamedSecurityInfoW(name.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &readOwner, nullptr,
                              &readDacl, nullptr,
                              reinterpret_cast<PSECURITY_DESCRIPTOR*>(readBack.put())) != ERROR_SUCCESS)
        return false;
    return AdmitsChangesOnlyByAdministrators(readBack.get());
}

std::map<std::wstring, std::string> FolderContents(const std::wstring& folder)
{
    std::map<std::wstring, std::string> contents;
    for (const std::wstring& file : ListFiles(folder))
        contents[file] = ReadTextFile(folder + file);
    return contents;
}

} // namespace TestSupport
