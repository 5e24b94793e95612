// The installation engine's checked file operations: a copy that overwrites its target and a delete that
// takes an absent file as done. Both turn every failure into the result text that the list page shows.
#pragma once

#include <string>

// Empty on success, "安装失败" when the copy fails, "安装异常" when a standard exception is raised.
std::wstring CopyReleaseFile(const std::wstring& source, const std::wstring& target);

// Empty when the file is absent or was deleted, "操作失败。" when the delete fails, "操作异常" on an
// exception.
std::wstring DeleteExistingFile(const std::wstring& path);
