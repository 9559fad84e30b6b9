// Start-up and shut-down of the toolbox.
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

void tb_Init() {
    toolbox::ResetWindowTable();
    toolbox::ResetFiles();
    toolbox::ResetSound();
    toolbox::ResetBitmapTable();
    toolbox::ResetRegionTable();
    toolbox::ResetTextTable();
    toolbox::ResetPrinting();
    toolbox::SeedRandom();
}

void tb_Quit() {
    platform::NativeWindow main = tb_GetMainWindow();
    if (main == 0 || !platform::Plat().isWindow(main)) return;
    platform::Message msg;
    msg.kind = platform::MsgKind::Close;
    msg.window = main;
    platform::Plat().postMessage(msg);
}
