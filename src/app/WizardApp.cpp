#include "app/WizardApp.h"

#include "app/EnvironmentPage.h"
#include "app/WelcomePage.h"
#include "app/WizardState.h"
#include "install/DocumentationShortcut.h"

void WizardApp::Create(nk_context* newContext, int newWidth, int newHeight)
{
    context = newContext;
    width = newWidth;
    height = newHeight;
    // The pages live until the process ends; nothing frees them.
    welcomePage = new WelcomePage(context, width, height);
    environmentPage = new EnvironmentPage(context, width, height);
}

void WizardApp::StartDetection()
{
    environmentPage->RunDetectionPass(std::wstring(L"在线文档 ") + documentationAddress, DesktopLine());
}

void WizardApp::DrawFrame()
{
    nk_style& style = context->style;
    style.window.group_padding = nk_vec2(0, 0);
    style.window.padding = nk_vec2(0, 0);
    // Only the colours are written; each item stays a plain colour.
    style.scrollv.normal.data.color = nk_rgb(222, 222, 222);
    style.scrollv.hover.data.color = nk_rgb(222, 222, 222);
    style.scrollv.active.data.color = nk_rgb(222, 222, 222);
    style.scrollv.cursor_normal.data.color = nk_rgb(166, 166, 166);
    style.scrollv.cursor_hover.data.color = nk_rgb(110, 100, 110);
    style.scrollv.cursor_active.data.color = nk_rgb(110, 100, 110);
    if (currentPage == 1)
        welcomePage->Draw(&appRunning, &currentPage);
    else if (currentPage == 2)
        environmentPage->Draw(&appRunning, &currentPage);
}
