// The command runner: runs one command line through the command interpreter, collects what it writes to
// standard output and standard error, and ends it, with everything it started, when it outlives its time.
#pragma once

#include <cstddef>
#include <string>

inline constexpr unsigned long defaultCommandTimeoutMs = 15000;
inline constexpr std::size_t defaultCommandOutputCap = 1024 * 1024;

// Runs `cmd.exe /S /C "<command>"` and returns its output as narrow text: everything read before it ended,
// before the time-out or up to the cap. Failures to start give "创建管道失败" or "创建进程失败: <error>"
// in the Chinese code page.
std::string RunCommand(const std::wstring& command, unsigned long timeoutMs = defaultCommandTimeoutMs,
                       std::size_t outputCap = defaultCommandOutputCap);
