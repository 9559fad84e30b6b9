// What the tools and the text tool read and ask of the room around them. The room (app/) keeps
// its state and answers these; nothing below it sees the room itself.
#pragma once

#include "platform/geometry.h"
#include "tools/tool_record.h"

namespace scene {

// Colours are red, green, blue on the 0..65025 scale.
struct Color {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

// The room as a tool sees it at one moment. Rectangles are window coordinates.
struct RoomFacts {
    int width = 0;            // the window
    int height = 0;
    Rect canvasArea{};        // where the picture shows in the window
    Rect picture{};           // the picture's own rectangle (0, 0, width, height)
    int canvas = -1;          // the picture's bitmap
    int sceneBuffer = -1;
    int undo = -1;
    int mainWindow = -1;      // the main window's toolbox handle
    bool zoomed = false;
    Color currentColor{};
};

RoomFacts FactsOfRoom();
Point WindowToPicture(int x, int y);
// Shows the scene buffer's `rect` in the window again, as composed.
void RedrawRect(const Rect& rect);
void SetCurrentColor(int red, int green, int blue, bool present);
int IndexOf(const SceneObject& object);

}  // namespace scene
