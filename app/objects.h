// Building the scene objects: the defaults every record starts from, and the thirty records of
// the table with their regions and handlers.
#pragma once

#include "tools/tool_record.h"

namespace scene {

// The defaults: together a complete freehand pen.
bool DefaultHitTest(SceneObject& self, int x, int y);
void DefaultPress(SceneObject& self, int x, int y);
void DefaultDrag(SceneObject& self, int x, int y);
void DefaultRelease(SceneObject& self, int x, int y);
void DefaultDrawImage(SceneObject& self);
void DefaultDrawControls(SceneObject& self, const Rect& monitor);
void DefaultClickControls(SceneObject& self, int x, int y, const Rect& monitor);
void DefaultSetColor(SceneObject& self, int red, int green, int blue);
void DefaultDispose(SceneObject& self);

// Fills the defaults and the two buffers' handles.
void ConstructObject(SceneObject& self, int sceneBitmap, int canvasBitmap);

// Builds all thirty objects for a window of height `height`, with their regions and handlers.
void BuildObjects(SceneObject (&objects)[kObjectCount], int height, int sceneBitmap, int canvasBitmap,
                  int mainWindow);
// Calls every object's Dispose.
void DisposeObjects(SceneObject (&objects)[kObjectCount]);

// The label shown while the pointer is over object `index` on the table.
int ObjectLabel(int index);

}  // namespace scene
