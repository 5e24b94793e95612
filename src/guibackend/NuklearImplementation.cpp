// Nuklear's implementation, compiled once for every unit that includes NuklearConfig.h.
#define NK_IMPLEMENTATION
#include "guibackend/NuklearConfig.h"
