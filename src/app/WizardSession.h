// The wizard's graph window and GUI for one run: opens the window, takes its DC, sets the title, makes
// the default GUI font, initialises the GUI backend and starts batch drawing; ends them in the wizard's
// shutdown order. Used by the entry, and by the tests and the benchmark that need the same set-up.
#pragma once

#include "guibackend/GuiFont.h"
#include "guibackend/NuklearConfig.h"
#include "win32/UniqueHandles.h"

#include <windows.h>

class WizardSession
{
public:
    // Opens everything; Status() says how far it got.
    WizardSession();
    // Stops batch drawing, shuts the GUI backend down, frees the default font, releases the DC and closes
    // the graph window (each only when it was made).
    ~WizardSession();
    WizardSession(const WizardSession&) = delete;
    WizardSession& operator=(const WizardSession&) = delete;

    // The program's exit status for a failed start: 0 ready, 1 the window could not be opened, 2 the
    // default font or the GUI context could not be made.
    int Status() const { return status_; }

    HWND Window() const { return window_; }
    HDC WindowDc() const { return windowDc_.get(); }
    GuiFont* DefaultFont() const { return defaultFont_; }
    nk_context* Context() const { return context_; }

private:
    int status_ = 0;
    HWND window_ = nullptr;
    UniqueWindowDc windowDc_;
    GuiFont* defaultFont_ = nullptr;
    nk_context* context_ = nullptr;
};
