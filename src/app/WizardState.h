// The wizard's globals: whether the frame loop keeps running, which page is shown, the default GUI font's
// height and the fixed rectangle of the list page's result popup. The pages steer the wizard through them.
#pragma once

#include "guibackend/NuklearConfig.h"

extern int appRunning;  // the frame loop runs while non-zero
extern int currentPage; // 1 welcome page, 2 environment list; any other value shows no page
extern int guiFontSize; // LOGFONT height of the default GUI font
extern const struct nk_rect resultPopupRect;

// The wizard's client area.
inline constexpr int wizardWidth = 490;
inline constexpr int wizardHeight = 328;
