// The handlers the tools put into their scene objects' slots.
//
// Controls: DrawControls paints the tool's settings into the monitor rectangle of the scene
// buffer (window coordinates); ClickControls applies a click given in window coordinates.
#pragma once

#include "tools/room_facts.h"

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

// Press, Drag and Release of the painting tools take picture coordinates, but for the Ruler,
// the Templates and the Scissors.

// The Brush (a soft spot of colour) and the Hammer & Chisel (relief of the picture as it was
// before the stroke): round dabs at every pointer event.
void BrushPress(SceneObject& self, int x, int y);
void BrushDrag(SceneObject& self, int x, int y);
void BrushRelease(SceneObject& self, int x, int y);
void HammerPress(SceneObject& self, int x, int y);
void HammerDrag(SceneObject& self, int x, int y);
void HammerRelease(SceneObject& self, int x, int y);

// The Spray Can and the scatter toys: random marks around the pointer at every event.
void SprayPress(SceneObject& self, int x, int y);
void SprayDrag(SceneObject& self, int x, int y);
void SprayRelease(SceneObject& self, int x, int y);
void BallPress(SceneObject& self, int x, int y);
void BallDrag(SceneObject& self, int x, int y);
void WandPress(SceneObject& self, int x, int y);
void WandDrag(SceneObject& self, int x, int y);
void WandRelease(SceneObject& self, int x, int y);
void NeedlePress(SceneObject& self, int x, int y);
void NeedleDrag(SceneObject& self, int x, int y);
void NeedleRelease(SceneObject& self, int x, int y);
void GunPress(SceneObject& self, int x, int y);
void GunDrag(SceneObject& self, int x, int y);
void ToyRelease(SceneObject& self, int x, int y);  // the Ball and the Gun

// The Ruler and the Templates: rubber bands in the window, the figure into the canvas at the
// release. Window coordinates.
void RulerPress(SceneObject& self, int x, int y);
void RulerDrag(SceneObject& self, int x, int y);
void RulerRelease(SceneObject& self, int x, int y);
void TemplatesPress(SceneObject& self, int x, int y);
void TemplatesDrag(SceneObject& self, int x, int y);
void TemplatesRelease(SceneObject& self, int x, int y);

// The Scissors: a box cut from the picture as shown, carried under the pointer and pasted at
// every click. Window coordinates. The piece lives until the next cut or DisposeCarriedPiece.
void ScissorsPress(SceneObject& self, int x, int y);
void ScissorsDrag(SceneObject& self, int x, int y);
void ScissorsRelease(SceneObject& self, int x, int y);
Rect CarriedPieceRect();  // (0, 0, width, height); empty before the first cut
void DisposeCarriedPiece();
void ForgetCarriedPiece();  // a fresh start: a piece of an earlier bitmap table is no piece

// The colour palette dialog: 1 when a colour was picked and accepted (then in `chosen`), -1 for
// the cross, 0 for Escape.
int OpenColourPalette(scene::Color& chosen);

// The Eraser, the Jar and the Dropper.
void EraserPress(SceneObject& self, int x, int y);
void EraserDrag(SceneObject& self, int x, int y);
void JarPress(SceneObject& self, int x, int y);
void JarDrag(SceneObject& self, int x, int y);
void DropperPick(SceneObject& self, int x, int y);  // Press and Drag
void DropperRelease(SceneObject& self, int x, int y);
void EndStroke(SceneObject& self, int x, int y);  // Release of the Eraser and the Jar

// The Cog: strokes mirrored about the point where each stroke began.
void CogPress(SceneObject& self, int x, int y);
void CogDrag(SceneObject& self, int x, int y);
void CogRelease(SceneObject& self, int x, int y);

}  // namespace tools
