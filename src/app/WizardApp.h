// The application object: the GUI context, the window size and the two page objects, which live until the
// process ends; the per-frame style and the dispatch to the current page.
#pragma once

#include "guibackend/NuklearConfig.h"

class WelcomePage;
class EnvironmentPage;

class WizardApp
{
public:
    virtual ~WizardApp() = default;

    void Create(nk_context* context, int width, int height);
    // The detection pass, run once after the first frame (a test may watch when it runs).
    virtual void StartDetection();
    // The per-frame style, then the current page.
    void DrawFrame();

    nk_context* context = nullptr;
    int width = 0;
    int height = 0;
    WelcomePage* welcomePage = nullptr;
    EnvironmentPage* environmentPage = nullptr;
};
