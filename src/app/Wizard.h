// The wizard's run: start-up in its fixed order, the frame loop with its 10 ms pacing and the detection
// pass after the first frame, and the shutdown. The program entry calls it after securing the DLL search.
#pragma once

#include <windows.h>

struct nk_context;
class WizardApp;

// Returns the program's exit status: 0 after "取消" or "关闭"; non-zero when the window, the default font or
// the GUI context could not be made.
int RunWizard();

// One turn of the frame loop before its pause: input, the current page, rendering and presenting.
void RunFrame(nk_context* context, WizardApp& app, HWND window);
