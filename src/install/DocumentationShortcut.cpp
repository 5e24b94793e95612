#include "install/DocumentationShortcut.h"

#include "install/CheckedFileOps.h"
#include "install/PathTrust.h"
#include "win32/UniqueHandles.h"

#include <objbase.h>
#include <shlobj.h>

namespace
{

// The identities are spelled out here so that no GUID library is needed at link time.
constexpr GUID desktopFolderId = {
    0xB4BFCC3A, 0xDB2C, 0x424C, {0xB0, 0x29, 0x7F, 0xE9, 0x9A, 0x87, 0xC6, 0x41}};
constexpr CLSID shellLinkClassId = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID shellLinkInterfaceId = {
    0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID persistStreamInterfaceId = {
    0x00000109, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// COM for the length of one operation on this thread.
class ComScope
{
public:
    ComScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope()
    {
        if (initialised_)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool initialised() const { return initialised_; }

private:
    bool initialised_;
};

std::wstring WorkingDirectoryOf(const std::wstring& target)
{
    const size_t cut = target.find_last_of(L"/\\");
    return cut == std::wstring::npos ? target : target.substr(0, cut);
}

// The bytes of a shell link file, as the link saves itself into a stream in memory.
bool SaveToMemory(IShellLinkW& link, std::string& bytes)
{
    ComPtr<IPersistStream> persist;
    ComPtr<IStream> stream;
    if (FAILED(link.QueryInterface(persistStreamInterfaceId, persist.put_void())) ||
        FAILED(CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(stream.put_void()))) ||
        FAILED(persist->Save(stream.get(), TRUE)))
        return false;
    STATSTG status{};
    if (FAILED(stream->Stat(&status, STATFLAG_NONAME)) || status.cbSize.QuadPart > (1u << 24))
        return false;
    bytes.resize(static_cast<size_t>(status.cbSize.QuadPart));
    LARGE_INTEGER start{};
    ULONG read = 0;
    return SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) &&
           SUCCEEDED(stream->Read(&bytes[0], static_cast<ULONG>(bytes.size()), &read)) &&
           read == bytes.size();
}

} // namespace

std::wstring DesktopFolder()
{
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(desktopFolderId, 0, nullptr, &path)) && path != nullptr)
        folder = path;
    CoTaskMemFree(path);
    return folder;
}

std::wstring ShortcutPath(const std::wstring& desktop)
{
    return desktop.empty() ? std::wstring() : desktop + L"\\Gravo_Help.lnk";
}

bool CreateShortcut(const std::wstring& target, const std::wstring& linkPath)
{
    ComScope com;
    if (!com.initialised())
        return false;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(shellLinkClassId, nullptr, CLSCTX_INPROC_SERVER, shellLinkInterfaceId,
                                link.put_void())))
        return false;
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(WorkingDirectoryOf(target).c_str());
    // The link is written by the checked file operations, never by the shell at a path that a planted link
    // could divert.
    std::string bytes;
    return SaveToMemory(*link.get(), bytes) && WriteNewFile(linkPath, bytes);
}

std::wstring InstallDocumentation(const std::wstring& desktop)
{
    // Without a desktop folder there is no place for the shortcut: never write "\Gravo_Help.lnk" at a root.
    const std::wstring linkPath = ShortcutPath(desktop);
    if (!linkPath.empty() && CreateShortcut(documentationAddress, linkPath))
        return {};
    return L"Gravo 文档安装失败。";
}

std::wstring DesktopLine(const std::wstring& desktop)
{
    std::wstring line = L"桌面路径 " + desktop;
    if (!desktop.empty() && OpenTrustedFolder(desktop).trust == FolderTrust::refused)
        line += untrustedDesktopNote;
    return line;
}

std::wstring UninstallDocumentation(const std::wstring& desktop)
{
    const std::wstring linkPath = ShortcutPath(desktop);
    if (linkPath.empty())
        return L"卸载失败";
    if (DeleteExistingFile(linkPath).empty())
        return L"卸载成功";
    // The delete was refused or failed. A desktop that the walk refuses never received a shortcut from an
    // install, so all that is left to tell is whether one is there: asked by name, without writing. The
    // desktop is the running account's own, so this tells nothing its unelevated half could not read.
    const DWORD attributes = GetFileAttributesW(linkPath.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES && IsMissingError(GetLastError()) ? L"卸载成功"
                                                                                   : L"卸载失败";
}
