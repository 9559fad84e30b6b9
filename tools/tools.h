// The handlers the tools put into their scene objects' slots.
//
// Controls: DrawControls paints the tool's settings into the monitor rectangle of the scene
// buffer (window coordinates); ClickControls applies a click given in window coordinates.
// Cog: Press, Drag and Release take picture coordinates.
#pragma once

#include "app/objects.h"

namespace tools {

using scene::SceneObject;

// Six bars: sizes 1, 4, 8, 16, 24, 32 (Pencil, Eraser, Ruler).
void DrawSixBarSizes(SceneObject& self, const Rect& monitor);
void ClickSixBarSizes(SceneObject& self, int x, int y, const Rect& monitor);
// Six bars: sizes 16 to 36 (Brush, Spray Can).
void DrawSixBarBrushSizes(SceneObject& self, const Rect& monitor);
void ClickSixBarBrushSizes(SceneObject& self, int x, int y, const Rect& monitor);
// Four shape buttons (Templates).
void DrawTemplateShapes(SceneObject& self, const Rect& monitor);
void ClickTemplateShapes(SceneObject& self, int x, int y, const Rect& monitor);
// Three tall bars: 16, 28, 40 (Hammer & Chisel).
void DrawHammerSizes(SceneObject& self, const Rect& monitor);
void ClickHammerSizes(SceneObject& self, int x, int y, const Rect& monitor);
// Three short bars 32, 48, 64 and the colour mode (Ball, Wand, Needle & Thread).
void DrawToyControls(SceneObject& self, const Rect& monitor);
void ClickToyControls(SceneObject& self, int x, int y, const Rect& monitor);
// Three short bars 60, 90, 120 and the colour mode (Paintball Gun).
void DrawGunControls(SceneObject& self, const Rect& monitor);
void ClickGunControls(SceneObject& self, int x, int y, const Rect& monitor);
// Three short bars 8, 16, 24 and the mirror mode (Cog).
void DrawCogControls(SceneObject& self, const Rect& monitor);
void ClickCogControls(SceneObject& self, int x, int y, const Rect& monitor);

// The Cog: strokes mirrored about the point where each stroke began.
void CogPress(SceneObject& self, int x, int y);
void CogDrag(SceneObject& self, int x, int y);
void CogRelease(SceneObject& self, int x, int y);

}  // namespace tools
