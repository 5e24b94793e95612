// Force-included into the multibyte build of the library. The library calls the wide Windows functions by
// name, but without UNICODE the stock cursor name IDC_ARROW is a narrow resource name, which LoadCursorW
// does not take: make it the wide one (the same resource number).
#pragma once

#include <windows.h>

#undef IDC_ARROW
#define IDC_ARROW MAKEINTRESOURCEW(32512)
