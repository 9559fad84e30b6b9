// The toolbox: every drawing target, window, dialog, message box, sound, file and timer the
// program uses, behind small integer handles.
//
// Handles: 0..99 a bitmap, 5000..5009 a toolbox window, 9000 the printer page while a
// document is open, -1 none or failure. Region handles are 0..99 of the region table.
// Coordinates are pixels of the target, y down; rectangles are right/bottom exclusive.
// Colours are red, green, blue on a 0..65025 scale (an 8-bit value times 255).
//
// Failures are reported by the toolbox itself in the "Error..." box, naming the operation; the
// operation then returns -1, 0 or nothing and the caller goes on. Nothing here throws.
// Everything runs on the one thread of the message loop.
#pragma once

#include <cstdint>
#include <string>

#include "platform/geometry.h"
#include "platform/platform.h"

constexpr int kFirstWindowHandle = 5000;
constexpr int kWindowSlots = 10;
constexpr int kPrinterHandle = 9000;
constexpr int kBitmapSlots = 100;
constexpr int kRegionSlots = 100;

// ---- Start-up and shut-down ------------------------------------------------------------
void tb_Init();  // resets every toolbox table; called once before anything else
void tb_Quit();  // asks the main window to close

// ---- Windows, dialogs and messages -----------------------------------------------------
using DialogProc = platform::WindowProc;

// Every toolbox window shares one window procedure and icon, registered once at start-up.
// Returns 1, or 0 when there is no procedure.
int tb_RegisterWindowClass(platform::WindowProc proc, int iconId);
int tb_OpenWindow(const Rect* rect, const char* title);  // window handle or -1
void tb_DisposeOfWindow(int window);
void tb_GetClientRect(int window, Rect* rect);
void tb_GetWindowRect(int window, Rect* rect);
void tb_SetWindowTitle(int window, const char* title);
platform::NativeWindow tb_GetWindowHandle(int window);  // 0 for a free slot
platform::NativeWindow tb_GetMainWindow();                // 0 before the first window opens

// Runs the painted dialog `dialogId` modally, owned by the main window; returns the value the
// procedure ended it with.
int tb_DoDialog(int dialogId, DialogProc proc);

void tb_ErrorMessage(const char* text);      // "Error...", system-modal
void tb_AttentionMessage(const char* text);  // "Attention!", owned by the main window
void tb_InfoMessage(const char* text);       // "Information...", owned by the main window
int tb_AskYesNo(const char* text);           // "Attention...": 1 Yes, 0 No, -1 otherwise

void tb_SetCursor(int cursorId);

// Pointer coordinate modes: 1 screen coordinates, 2 the main window's client coordinates.
constexpr int kMouseModeScreen = 1;
constexpr int kMouseModeClient = 2;
void tb_SetMouseMode(int mode);
int tb_GetMouseMode();
void tb_GetMousePosition(Point* point);
void tb_SetMousePosition(int x, int y);

// Button mode 0 honours swapped buttons (the primary button only); 1 counts either button.
void tb_SetButtonMode(int mode);
int tb_Button();               // 1 while the primary button is held down now
int tb_KeyDown(int virtualKey);  // 1 while the key is held down now
