// A PNG copy of the picture for a parent to send: written beside the Gallery in the pictures
// folder, as safely as a save, and never in place of one of the child's pictures.
#include <strings.h>

#include <string>

#include "app/pictures.h"
#include "app/room.h"
#include "app/scene.h"
#include "app/shell.h"
#include "toolbox/toolbox.h"
#include "platform/language.h"

namespace scene {
namespace {

// The name without its folder and without an extension the program reads.
std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (const char* ending : {".bmp", ".png", ".jpg", ".jpeg"}) {
        const size_t length = std::char_traits<char>::length(ending);
        if (name.size() > length && strcasecmp(name.c_str() + name.size() - length, ending) == 0) {
            name.resize(name.size() - length);
            break;
        }
    }
    return name;
}

void TellExportFailed(const std::string& path, bool created) {
    TellNotWritten(created ? Tr("The copy could not be written as \"%s\": the disk may be full, or it went away "
                                "while writing. The file that had this name before is unchanged.")
                           : Tr("The copy could not be written as \"%s\": that folder does not accept new files, or a "
                                "folder or a read-only file already has this name."),
                   path);
}

}  // namespace

std::string SavingName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = path.substr(folder.size());
    const std::string base = BaseName(path);
    if (base == name) return path;  // no extension of a picture kind: left to the dialog
    const size_t length = name.size() - base.size();
    if (length == 4 && strcasecmp(name.c_str() + base.size(), ".bmp") == 0) return path;
    return folder + base + ".bmp";
}

void ExportCommand() {
    if (!shell::Shell().settings.save) return tb_Beep();  // a copy is a save too
    if (!GrownUpAllows()) return;
    const std::string current = tb_GetCurrentDirectory();  // the pictures folder, which holds Gallery/
    const std::string folder = (current.empty() ? std::string(".") : current) + "/";
    tb_SetProgramDirectory(folder);
    std::string path = BaseName(shell::Shell().pictureFileName) + ".png";
    const int created = tb_CreateFile(path, 1, tb_FileKind::Png);
    if (created == 0) return;
    if (created != 1) {
        if (created == -1) {
            TellExportFailed(path, false);
        } else {
            tb_AttentionMessage(Tr("The Save As window could not be opened, so no copy was written."));
        }
        return;
    }
    const bool written = tb_WritePngToFile(TheRoom().canvas) == 1;
    if (!(tb_CloseFile() == 1 && written)) TellExportFailed(path, true);
}

}  // namespace scene
