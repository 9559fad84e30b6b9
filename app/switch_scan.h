// One-switch scanning: for a child who can press one key (or a switch that types one) but not
// steer a pointer. A glowing highlight steps through the room at a set pace (the tools on the
// table, the paint cans, the hotspots that do something, the canvas), and the key picks what it
// is on, as a click at that place would. On the canvas a line sweeping down is picked, then a
// marker sweeping along it: that is where a stroke starts; the same again gives its end, and the
// current tool paints from start to end as a press, a drag and a release would.
//
// While a painted dialog is open the highlight goes round the buttons the dialog named instead,
// drawn in the dialog's window; its cancel or back button is always among them. A dialog's pick
// area (the palette's colours) comes first and is swept as the canvas is, line then point.
//
// All places are window coordinates (y down). The highlight is drawn straight into the main
// window, never into the scene buffer, so taking it away is a copy of the scene back.
#pragma once

#include "platform/geometry.h"

namespace scene {

// The main window's timer that paces the highlight; it exists only while scanning is on.
constexpr int kScanTimer = 7301;
// Each way across the canvas it is cut into this many bands; the line and the marker stop at
// the middle of each.
constexpr int kScanStops = 10;

enum class ScanPhase { Room, Line, Point };

// Starts scanning with the main window's timer (on) or makes sure nothing scans (off);
// forgets any stroke half chosen.
void SetUpScanning(bool on, int stepMs, int key);
void StopScanning();
// The timer's work: the highlight moves on one place.
void ScanStep();
// A key went down or up: true when it was the scanning key, which then belongs to the scanner.
bool ScanKey(int key, bool down);

// What the highlight is on now: the place it frames and where a pick would click (in the
// dialog's own coordinates while a painted dialog is open).
struct ScanSpot {
    Rect rect{};
    Point click{};
};
ScanSpot ScanHighlight();
ScanPhase CurrentScanPhase();
// Draws the highlight again over the room just painted (it lives in the window, not the scene).
void ShowScanning();

}  // namespace scene
