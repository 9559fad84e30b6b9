// The recovery copy: an unsaved picture kept on disk, so that a logout, a shutdown, a killed
// program or a lost display does not take it away.
//
// While the picture has unsaved changes, a copy of the canvas and the picture's file name is
// written to $XDG_STATE_HOME/pictoria/picture.bmp (default ~/.local/state/pictoria/), a short
// pause after the input that changed it; the next start puts it back. A save, or the picture
// given up on purpose (No at a save question, Quit), removes it.
//
// The copy is one file: the canvas as a 24-bit BMP (any picture viewer shows it) that carries
// the name and a checksum of the rest between its headers and its pixels. It is written to a temporary file in the same
// folder, flushed to disk, renamed over the old copy and the folder flushed, so a crash or a
// power cut at any moment leaves the old copy or the new one whole, never a mixture. A copy
// that does not check out is moved aside, never read and never deleted.
//
// Times are the platform's milliseconds (tickCount).
#pragma once

#include <cstdint>
#include <string>

namespace recovery {

constexpr int kPauseMs = 2000;  // after the last input, before the copy is written

// The folder of the copy, without a trailing "/"; created when missing (only the user can
// enter it). Empty when there is no home to put it in.
std::string Folder();
std::string CopyPath();

// After input was handled: while the picture has unsaved changes the copy falls due kPauseMs
// after `now`; once it has none the copy goes.
void AfterInput(uint32_t now);
// Milliseconds until the copy is due; -1 when none is.
int MillisecondsUntilDue(uint32_t now);
// Writes the copy when it is due and the picture differs from the copy on disk.
void WriteWhenDue(uint32_t now);
// Writes the copy at once when the picture has unsaved changes. Uses no desktop call, so it may
// run after the display is gone. False when a copy was needed and could not be written.
bool WriteNow();
// Removes the copy.
void Discard();

// At start-up: puts a sound copy on the canvas with its name, as unsaved changes. A copy that
// is spoiled is moved aside as "spoiled-<time>.bmp" and reported on standard error.
bool Restore();

}  // namespace recovery
