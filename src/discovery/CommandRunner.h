// The command runner: runs one program by its full file name (no search, no command interpreter) under a
// restricted low-integrity token, or in a sandbox, collects what it writes to standard output and standard
// error, and ends it, with everything it started, when it outlives its time or writes too much.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

inline constexpr unsigned long defaultCommandTimeoutMs = 15000;
inline constexpr std::size_t defaultCommandOutputCap = 1024 * 1024;

enum class Confinement
{
    // A program only administrators or the wizard's own user could have placed: Administrators deny-only,
    // privileges dropped, low integrity, in a job that ends it.
    deElevated,
    // Any other program: as above, and restricting SIDs close what only the administrator's account may open;
    // its job admits no second process and no UI access; it runs on a desktop of its own.
    sandboxed,
};

struct CommandResult
{
    bool started = false;  // false: not run (no such file; no token, pipe or sandbox could be made)
    bool timedOut = false; // it was ended at the deadline
    std::string output;    // everything read before it ended, the deadline or the cap
};

// How a program is to run: de-elevated when nobody but Administrators, SYSTEM, TrustedInstaller and the
// wizard's own user could have placed it, its folder or any folder above (the install's path-trust rule);
// sandboxed otherwise.
Confinement ConfinementFor(const std::wstring& program);

// Runs `program` exactly as named, with the arguments quoted as the C runtime splits them, in the system
// folder, without a window, with standard input from NUL and no inherited handle but its output pipe.
CommandResult RunCommand(const std::wstring& program, const std::vector<std::wstring>& arguments,
                         Confinement confinement, unsigned long timeoutMs = defaultCommandTimeoutMs,
                         std::size_t outputCap = defaultCommandOutputCap);
