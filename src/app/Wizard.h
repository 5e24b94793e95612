// The wizard's run: the session's start-up, the frame loop with its 10 ms pacing and the detection pass
// after the first frame, and the shutdown. The program entry calls RunWizard after securing the DLL search.
#pragma once

#include <windows.h>

struct nk_context;
class WizardApp;

// Returns the program's exit status: 0 after "取消" or "关闭"; 1 when the window could not be opened, 2 when
// the default font or the GUI context could not be made.
int RunWizard();

// One turn's input: the graph window's queue drained into the GUI context between nk_input_begin and
// nk_input_end. Returns how many records came.
int DrainInput(nk_context* context, HWND window);
// The current page built, and what changed since the last frame rendered into the back buffer and presented
// (RenderGuiIfChanged); the rest the back buffer and the window still show. Returns the rectangle presented
// (right and bottom excluded), empty when the frame changed nothing.
RECT DrawAndPresent(WizardApp& app);
// One turn of the frame loop before its pause, always building: DrainInput, then DrawAndPresent.
void RunFrame(nk_context* context, WizardApp& app, HWND window);

// The frame loop of a started session: RunWizard turns it while appRunning is set. Every turn drains the
// input and pauses 10 ms; a quiet turn (no input, no present request, nothing changed) builds, renders and
// presents nothing once two quiet turns were drawn since the last activity, which Nuklear needs to settle
// hover and click states.
class FrameLoop
{
public:
    FrameLoop(nk_context* context, WizardApp& app, HWND window);

    // One turn: input, the frame unless quiet, the 10 ms pause, and after the first turn the detection pass
    // (no frame is drawn meanwhile). True when the turn drew a frame.
    bool Turn();

private:
    // What the pages steer between frames: a change draws the next turns.
    struct View
    {
        int page;
        int running;
        bool popupOpen;
        bool operator!=(const View& other) const
        {
            return page != other.page || running != other.running || popupOpen != other.popupOpen;
        }
    };
    View CurrentView() const;

    nk_context* context_;
    WizardApp& app_;
    HWND window_;
    bool detectionDone_ = false;
    bool activityPending_ = true;
    int quietTurnsDrawn_ = 0;
    View drawnView_{};
};
