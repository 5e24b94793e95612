// The tokens a program of unknown origin runs under: restricted copies of the wizard's own primary token,
// with every privilege but change-notify dropped, the administrator groups deny-only, low integrity and a
// default DACL that grants its user (the shape of a sandboxed browser renderer); the sandbox's token adds
// restricting SIDs. A restricted copy of one's own token needs no privilege to assign. Also the wizard's own
// SIDs.
#pragma once

#include "win32/UniqueHandles.h"

#include <vector>

// A primary token for CreateProcessAsUserW; empty when any step fails, in which case nothing is to be run.
// With `restrictingSids` every access must also be granted to the logon SID, Everyone or Users, which closes
// what only the wizard's account, Administrators or SYSTEM may open (its profile, its registry hive).
UniqueHandle CreateRestrictedChildToken(bool restrictingSids);

// The SIDs of the wizard's own token, as bytes: its user, and the logon SID of its session. Empty when the
// token does not tell.
std::vector<unsigned char> OwnUserSid();
std::vector<unsigned char> OwnLogonSid();
