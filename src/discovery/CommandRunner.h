// The command runner: runs one program by its full file name (no search, no command interpreter) under a
// restricted low-integrity token, collects what it writes to standard output and standard error, and ends
// it, with everything it started, when it outlives its time or writes too much.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

inline constexpr unsigned long defaultCommandTimeoutMs = 15000;
inline constexpr std::size_t defaultCommandOutputCap = 1024 * 1024;

struct CommandResult
{
    bool started = false;  // false: the program was not run (no such file, no restricted token, no pipe)
    bool timedOut = false; // it was ended at the deadline
    std::string output;    // everything read before it ended, the deadline or the cap
};

// Runs `program` exactly as named, with the arguments quoted as the C runtime splits them, in the system
// folder, without a window.
CommandResult RunCommand(const std::wstring& program, const std::vector<std::wstring>& arguments,
                         unsigned long timeoutMs = defaultCommandTimeoutMs,
                         std::size_t outputCap = defaultCommandOutputCap);
