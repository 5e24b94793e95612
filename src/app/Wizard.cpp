#include "app/Wizard.h"

#include "app/WizardApp.h"
#include "app/WizardState.h"
#include "graphwin/gravo.h"
#include "guibackend/CommandRenderer.h"
#include "guibackend/GuiFont.h"
#include "guibackend/InputTranslation.h"

void RunFrame(nk_context* context, WizardApp& app, HWND window)
{
    nk_input_begin(context);
    GraphMessage record;
    while (PollGraphMessage(&record, 255, true))
        HandleGraphMessage(window, &record);
    nk_input_end(context);
    app.DrawFrame();
    RenderGui(nk_rgb(99, 99, 99));
    PresentBatch();
}

int RunWizard()
{
    OpenGraphWindow(wizardWidth, wizardHeight, 0);
    HWND window = GraphWindowHandle();
    if (window == nullptr)
    {
        CloseGraphWindow();
        return 1;
    }
    HDC windowDc = GetDC(window);
    SetWindowTextW(window, L"Gravo 26.1.1 安装向导");
    GuiFont* defaultFont = CreateGuiFont("Segoe UI", guiFontSize, 0);
    nk_context* context =
        defaultFont != nullptr ? InitGuiBackend(defaultFont, windowDc, wizardWidth, wizardHeight) : nullptr;
    if (context == nullptr)
    {
        DestroyGuiFont(defaultFont);
        ReleaseDC(window, windowDc);
        CloseGraphWindow();
        return 2;
    }

    WizardApp app;
    app.Create(context, wizardWidth, wizardHeight);
    bool firstFrameShown = false;
    StartBatch();
    while (appRunning)
    {
        RunFrame(context, app, window);
        Sleep(10);
        // Detection runs once, after the first frame reached the screen; no frame is drawn meanwhile.
        if (!firstFrameShown)
        {
            firstFrameShown = true;
            app.StartDetection();
        }
    }

    StopBatch();
    DestroyGuiFont(defaultFont);
    ReleaseDC(window, windowDc);
    CloseGraphWindow();
    return 0;
}
