#include "app/Wizard.h"

#include "app/EnvironmentPage.h"
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

RECT DrawAndPresent(WizardApp& app)
{
    app.DrawFrame();
    const RECT drawn = RenderGuiIfChanged(nk_rgb(99, 99, 99));
    if (!IsRectEmpty(&drawn))
        PresentBatchRect(drawn.left, drawn.top, drawn.right - 1, drawn.bottom - 1);
    return drawn;
}

void RunFrame(nk_context* context, WizardApp& app, HWND window)
{
    DrainInput(context, window);
    DrawAndPresent(app);
}

namespace
{
// Quiet turns drawn after an activity before quiet turns stop drawing.
constexpr int settlingTurns = 2;
} // namespace

FrameLoop::FrameLoop(nk_context* context, WizardApp& app, HWND window)
    : context_(context), app_(app), window_(window)
{
}

FrameLoop::View FrameLoop::CurrentView() const
{
    return View{currentPage, appRunning,
                app_.environmentPage != nullptr && app_.environmentPage->resultPopupOpen};
}

bool FrameLoop::Turn()
{
    const int records = DrainInput(context_, window_);
    const bool presentRequested = TakePresentRequest();
    const View view = CurrentView();
    // The first turn, the turn after the detection pass, input, a window that needs its contents again and a
    // change since the last frame drawn (a page switch, a popup) make the turn active.
    const bool active = activityPending_ || records > 0 || presentRequested || view != drawnView_;
    activityPending_ = false;
    if (active)
        quietTurnsDrawn_ = 0;
    const bool draw = active || quietTurnsDrawn_ < settlingTurns;
    if (draw)
    {
        if (!active)
            ++quietTurnsDrawn_;
        drawnView_ = view;
        // The window asks for all its contents, also where the frame shows what the back buffer holds.
        const RECT presented = DrawAndPresent(app_);
        const RECT window = {0, 0, wizardWidth, wizardHeight};
        if (presentRequested && !EqualRect(&presented, &window))
            PresentBatch();
    }
    Sleep(10);
    // Detection runs once, after the first frame reached the screen; the list it fills is drawn next.
    if (!detectionDone_)
    {
        detectionDone_ = true;
        app_.StartDetection();
        activityPending_ = true;
    }
    return draw;
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
