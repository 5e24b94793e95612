#include "app/Wizard.h"

#include "app/WizardApp.h"
#include "app/WizardSession.h"
#include "app/WizardState.h"
#include "graphwin/gravo.h"
#include "guibackend/CommandRenderer.h"
#include "guibackend/InputTranslation.h"

int DrainInput(nk_context* context, HWND window)
{
    int records = 0;
    nk_input_begin(context);
    GraphMessage record;
    while (PollGraphMessage(&record, 255, true))
    {
        HandleGraphMessage(window, &record);
        ++records;
    }
    nk_input_end(context);
    return records;
}

void DrawAndPresent(WizardApp& app)
{
    app.DrawFrame();
    RenderGui(nk_rgb(99, 99, 99));
    PresentBatch();
}

void RunFrame(nk_context* context, WizardApp& app, HWND window)
{
    DrainInput(context, window);
    DrawAndPresent(app);
}

FrameLoop::FrameLoop(nk_context* context, WizardApp& app, HWND window)
    : context_(context), app_(app), window_(window)
{
}

void FrameLoop::Turn()
{
    RunFrame(context_, app_, window_);
    Sleep(10);
    // Detection runs once, after the first frame reached the screen.
    if (!detectionDone_)
    {
        detectionDone_ = true;
        app_.StartDetection();
    }
}

int RunWizard()
{
    WizardSession session;
    if (session.Status() != 0)
        return session.Status();
    WizardApp app;
    app.Create(session.Context(), wizardWidth, wizardHeight);
    FrameLoop loop(session.Context(), app, session.Window());
    while (appRunning)
        loop.Turn();
    return 0;
}
