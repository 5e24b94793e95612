// Test support for the GUI backend: a fixture with the wizard's session (graph window, default font, GUI
// context, batch drawing), a canvas covering the whole window for pushing commands, and the back buffer's
// pixels.
#pragma once

#include "app/WizardSession.h"
#include "guibackend/CommandRenderer.h"
#include "guibackend/GuiBackend.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

namespace GuiTest
{
const int Width = 490;
const int Height = 328;
const DWORD ClearColour = 0x636363; // nk_rgb(99, 99, 99), as back buffer word 0x00RRGGBB

class GuiWindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens a Nuklear window over the whole graph window without background or padding and returns its
    // command buffer; EndFrame closes it and renders the frame with the wizard's clear colour.
    nk_command_buffer* BeginCanvas();
    void EndFrame();

    // A back buffer pixel as 0x00RRGGBB, and how many pixels of a rectangle have a colour.
    DWORD Pixel(int x, int y) const;
    int CountPixels(int left, int top, int right, int bottom, DWORD colour) const;

    std::unique_ptr<WizardSession> session;
    HWND window = nullptr;
    HDC windowDC = nullptr;
    GuiFont* font = nullptr;
    nk_context* context = nullptr;
};

// The build folder's artifacts folder, created when missing, as a path of the test program's system.
std::wstring ArtifactPath(const wchar_t* fileName);
// Writes the back buffer as a 24-bit PNG (stored, uncompressed deflate blocks); true on success.
bool WriteBackBufferPng(const std::wstring& path);
} // namespace GuiTest
