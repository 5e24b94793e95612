// The documentation entry's shortcut: a shell link named Gravo_Help.lnk on the user's desktop that opens the
// online documentation, and the desktop folder lookup that the environment list also shows.
#pragma once

#include <string>

// The online documentation site: a bare scheme-and-host address.
inline constexpr const wchar_t* documentationAddress = L"https://docs.gravo.dev";

// The current user's desktop folder without a trailing backslash; empty when the shell cannot tell.
std::wstring DesktopFolder();

// DesktopFolder() + "\Gravo_Help.lnk"; empty when there is no desktop folder.
std::wstring ShortcutPath();

// Writes a shell link at linkPath pointing at target, its working directory cut at the target's last slash.
bool CreateShortcut(const std::wstring& target, const std::wstring& linkPath);

// Empty on success, else "Gravo 文档安装失败。".
std::wstring InstallDocumentation();

// "卸载成功" (also when there was no shortcut) or "卸载失败".
std::wstring UninstallDocumentation();
