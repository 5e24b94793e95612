// The documentation entry's shortcut: a shell link named Gravo_Help.lnk on the user's desktop that opens the
// online documentation, and the desktop folder lookup that the environment list also shows. The operations
// take the desktop folder, the user's own by default, so that they can work on any folder.
#pragma once

#include <string>

// The online documentation site: a bare scheme-and-host address.
inline constexpr const wchar_t* documentationAddress = L"https://docs.gravo.dev";

// The current user's desktop folder without a trailing backslash; empty when the shell cannot tell.
std::wstring DesktopFolder();

// desktop + "\Gravo_Help.lnk"; empty when there is no desktop folder.
std::wstring ShortcutPath(const std::wstring& desktop = DesktopFolder());

// Writes a shell link at linkPath pointing at target, its working directory cut at the target's last slash;
// written whole through the checked file operations.
bool CreateShortcut(const std::wstring& target, const std::wstring& linkPath);

// Empty on success, else "Gravo 文档安装失败。".
std::wstring InstallDocumentation(const std::wstring& desktop = DesktopFolder());

// The documentation line's desktop line: "桌面路径 " + desktop, and a note when the install's walk refuses
// that desktop (a share, or a link that someone else could retarget), so the line says before "安装" is
// pressed why the install will fail.
inline constexpr const wchar_t* untrustedDesktopNote = L"（不可信，无法放置快捷方式）";
std::wstring DesktopLine(const std::wstring& desktop = DesktopFolder());

// "卸载成功" when the shortcut was deleted or is not there, whatever the desktop, else "卸载失败".
std::wstring UninstallDocumentation(const std::wstring& desktop = DesktopFolder());
