#include "app/WizardSession.h"

#include "app/WizardState.h"
#include "graphwin/gravo.h"
#include "guibackend/GuiBackend.h"

WizardSession::WizardSession()
{
    OpenGraphWindow(wizardWidth, wizardHeight, 0);
    window_ = GraphWindowHandle();
    if (window_ == nullptr)
    {
        status_ = 1;
        return;
    }
    windowDc_ = UniqueWindowDc(window_);
    SetWindowTextW(window_, L"Gravo 26.1.1 安装向导");
    defaultFont_ = CreateGuiFont("Segoe UI", guiFontSize, 0);
    if (defaultFont_ != nullptr)
        context_ = InitGuiBackend(defaultFont_, windowDc_.get(), wizardWidth, wizardHeight);
    if (context_ == nullptr)
    {
        status_ = 2;
        return;
    }
    StartBatch();
}

WizardSession::~WizardSession()
{
    if (status_ == 0)
    {
        StopBatch();
        ShutdownGuiBackend();
    }
    DestroyGuiFont(defaultFont_);
    windowDc_.reset();
    CloseGraphWindow();
}
