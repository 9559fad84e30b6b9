// The room before it is furnished: a flat wall colour, no tools, Quit as the one command.
#include <cstring>

#include "app/scene.h"
#include "app/shell.h"
#include "platform/platform.h"
#include "toolbox/toolbox.h"

namespace scene {
namespace {

// Warm wall colour, blue-green-red as the backing store keeps it.
constexpr uint8_t kWallBgr[3] = {0x8C, 0xD2, 0xF6};

bool gToolActive = false;
PointerLog gPointerLog;

void PaintWall() {
    platform::NativeWindow window = shell::Shell().mainNative;
    if (window == 0) return;
    PixelView view = platform::Plat().backingStore(window);
    if (!view.isValid()) return;
    for (int y = 0; y < view.height; ++y) {
        uint8_t* row = RowPointer(view, y);
        for (int x = 0; x < view.width; ++x) std::memcpy(row + 3 * x, kWallBgr, 3);
    }
}

}  // namespace

void SceneStartUp() {
    gToolActive = false;
    gPointerLog = PointerLog{};
    Present();
}

void Present() {
    platform::NativeWindow window = shell::Shell().mainNative;
    if (window == 0) return;
    PaintWall();
    platform::Plat().present(window, platform::Plat().clientRect(window));
}

void RebuildScene() { Present(); }

void TearDownScene() { gToolActive = false; }

void OnPress(int, int) { ++gPointerLog.presses; }
void OnMove(int, int) { ++gPointerLog.moves; }
void OnRelease(int, int) { ++gPointerLog.releases; }
void OnDoubleClick(int, int) { ++gPointerLog.doubleClicks; }

bool CurrentToolActive() { return gToolActive; }
bool ScissorsCarryingPiece() { return false; }
void DropScissorsPiece() {}

void ShowTitleScreen() {}
void SetTextDefaults() {}

void RunCommand(int commandId) {
    if (commandId == shell::kCmdQuit) tb_Quit();
}

void CloseHelp() {}

void SetCurrentToolActiveForTest(bool active) { gToolActive = active; }
const PointerLog& PointerEventsForTest() { return gPointerLog; }

}  // namespace scene
