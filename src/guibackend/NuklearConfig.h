// The one Nuklear configuration of Gravo Setup: every unit that uses Nuklear includes this header
// instead of nuklear.h, so that all of them see the same structures. The backend's
// NuklearImplementation.cpp is the only unit that compiles Nuklear's implementation.
#pragma once

#ifndef NK_INCLUDE_FIXED_TYPES
#define NK_INCLUDE_FIXED_TYPES
#endif
#ifndef NK_INCLUDE_DEFAULT_ALLOCATOR
#define NK_INCLUDE_DEFAULT_ALLOCATOR
#endif
#ifndef NK_INCLUDE_STANDARD_VARARGS
#define NK_INCLUDE_STANDARD_VARARGS
#endif

#include <nuklear.h>
