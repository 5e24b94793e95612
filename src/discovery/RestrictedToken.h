// The token a program of unknown origin runs under: a restricted copy of the wizard's own primary token, with
// every privilege but change-notify dropped, the administrator groups deny-only, low integrity and a default
// DACL that grants its user (the shape of a sandboxed browser renderer). A restricted copy of one's own token
// needs no privilege to assign.
#pragma once

#include "win32/UniqueHandles.h"

// A primary token for CreateProcessAsUserW; empty when any step fails, in which case nothing is to be run.
UniqueHandle CreateRestrictedChildToken();
