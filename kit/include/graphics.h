// Gravo graphics library: the customary header name of a graphics library; everything is in gravo.h.
#pragma once

#include "gravo.h"
