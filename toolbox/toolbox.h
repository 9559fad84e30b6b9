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
#include <vector>

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
// 1 while a dialog of tb_DoDialog runs (the main window then takes no input).
int tb_DialogOpen();
// The window of the innermost dialog of tb_DoDialog running; 0 when none runs.
platform::NativeWindow tb_DialogWindow();
// The clickable places of the innermost dialog (dialog coordinates), which it names as it starts
// so that a child who cannot steer a pointer can have them picked for him; empty when none runs.
// `pickArea`, when not empty, is a place where any point may be clicked (the palette's colours):
// a line across it is picked, then a point along that line, as on the canvas.
void tb_SetDialogButtons(std::vector<Rect> buttons, Rect pickArea = Rect{});
std::vector<Rect> tb_DialogButtons();
Rect tb_DialogPickArea();
// Runs after the innermost dialog has painted itself, to draw over it; null: nothing.
void tb_SetDialogPaintHook(void (*hook)(platform::NativeWindow dialog));
// Has the window paint itself now, over anything drawn on it from outside.
void tb_Repaint(platform::NativeWindow window);
// Ends the running dialog; tb_DoDialog then returns `result`.
void tb_EndDialog(platform::NativeWindow dialog, int result);
// The real controls of a dialog, by control id: a sorted list box and an edit box (UTF-8).
void tb_ListReset(platform::NativeWindow dialog, int control);
void tb_ListAddString(platform::NativeWindow dialog, int control, const std::string& text);
int tb_ListFindExact(platform::NativeWindow dialog, int control, const std::string& text);  // -1: none
void tb_ListSetSelection(platform::NativeWindow dialog, int control, int index);
int tb_ListGetSelection(platform::NativeWindow dialog, int control);  // -1: none
std::string tb_ListGetText(platform::NativeWindow dialog, int control, int index);
std::string tb_EditGetText(platform::NativeWindow dialog, int control);
void tb_EditSetText(platform::NativeWindow dialog, int control, const std::string& text);
// What a painted dialog's reactive areas do under the pointer: over one (`reacts`) a move shows
// the pointing cursor and a press clicks, elsewhere the arrow shows and a press is silent.
// 1 when `msg` was such a move or press.
int tb_HoverAndPress(const platform::Message& msg, bool reacts);
// 1 for what asks a dialog to cancel: the Escape key, or a request to close it.
int tb_IsCancelCommand(const platform::Message& msg);
// Places and sizes a dialog (screen coordinates); a dialog whose template is shared with
// others gives itself its own size when it starts.
void tb_MoveDialog(platform::NativeWindow dialog, const Rect* rect);
// Sizes a dialog and centres it on the main window, or on the desktop when `onDesktop` is 1;
// returns where it now is (screen coordinates).
Rect tb_CentreDialog(platform::NativeWindow dialog, int width, int height, int onDesktop);
// Copies the bitmap resource `pictureId` into a dialog with its top-left at (x, y): all of it, or
// only its rectangle `part` (null for all).
void tb_ShowPictureInDialog(platform::NativeWindow dialog, int pictureId, const Rect* part, int x, int y);

void tb_ErrorMessage(const char* text);      // "Error...", system-modal
void tb_AttentionMessage(const char* text);  // "Attention!", owned by the main window
void tb_InfoMessage(const char* text);       // "Information...", owned by the main window
int tb_AskYesNo(const char* text);           // "Attention...": 1 Yes, 0 No, -1 otherwise

void tb_SetCursor(int cursorId);

// Shows a page of the program's own help (an absolute path) in the desktop's web browser.
// 1 shown, 0 when no browser could be started.
int tb_OpenHelpPage(const std::string& path);

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

// Entries in use in the bitmap, region and window tables.
struct TableCounts {
    int bitmaps = 0;
    int regions = 0;
    int windows = 0;
};
TableCounts tb_CountTableEntries();

// ---- Bitmaps, copies, pixels and filters -----------------------------------------------
// Bitmaps are 8 or 24 bits deep (an 8-bit bitmap keeps its own colour table; a fresh one is
// a grey ramp, index 0 black and 255 white). Copies between depths go through the colours.
// `rect` of an empty bitmap gives its size and is kept as given, origin included; for a
// resource bitmap (source > 0) it receives (0, 0, width, height).
int tb_CreateBitmap(Rect* rect, int source, int depth);  // bitmap handle or -1
void tb_DisposeBitmap(int bitmap);
void tb_GetBitmapRect(int bitmap, Rect* rect);
int tb_GetBitmapWidth(int bitmap);         // -1 for an invalid handle
int tb_GetBitmapHeight(int bitmap);        // -1 for an invalid handle
int tb_GetBitmapStorageWidth(int bitmap);  // bytes per stored row, -1 for an invalid handle
// The pixels of a bitmap in use, for reading only (it may be a resource in place); invalid for a
// bad handle. Valid until the bitmap is next drawn into or disposed.
PixelView tb_PeekBitmapPixels(int bitmap);

// Sources: bitmaps and windows. Destinations: bitmaps, windows and the printer page. Rects
// of different sizes stretch (nearest neighbour). The destination's clip rectangle limits the
// copy and, on a bitmap, stays in force for later drawing until tb_ClearClipRect. The flag is
// ignored.
void tb_CopyBitmap(int source, int destination, const Rect* sourceRect, const Rect* destRect, int flag);
// From a bitmap only: unstretched into a bitmap, stretched into a window or the printer page.
void tb_CopyBitmapBits(int source, int destination, const Rect* sourceRect, const Rect* destRect, int flag);
// The mask (white where the image shows, black elsewhere) is ORed into the destination, then
// the image (white outside its shape) ANDed, each stretched onto destRect.
void tb_CopyMaskedBitmap(int image, int mask, int destination, const Rect* imageRect, const Rect* maskRect,
                         const Rect* destRect);
// Into a window outside the toolbox's table (a dialog), given by its platform handle.
void tb_CopyBitmapToDialog(platform::NativeWindow dialog, int bitmap, const Rect* sourceRect,
                           const Rect* destRect);
void tb_SetClipRect(int target, const Rect* rect);  // takes effect at the next copy
void tb_ClearClipRect(int target);

// Pixels of a bitmap, components on the 0..65025 scale. The inside test uses the bitmap's
// stored rect with its right and bottom edges included; outside it a read gives black and a
// write does nothing. A write takes min(component, 65025) / 255, negative values as 0.
void tb_GetPixel(int bitmap, int x, int y, int* red, int* green, int* blue);
void tb_SetPixel(int bitmap, int x, int y, int red, int green, int blue);

// A 5 x 5 filter: weights[r][c] applies to the neighbour (x + c - 2, y + r - 2).
struct FilterKernel {
    int32_t weights[5][5];
    int32_t divisor;  // integer division toward zero; 0 counts as 1
    int32_t bias;     // added after the division
    int32_t red;      // 1: the channel is filtered, 0: it keeps its value
    int32_t green;
    int32_t blue;
    int32_t random;   // non-zero: each weight is multiplied by tb_Random(randomLow, randomHigh)
    int32_t randomLow;
    int32_t randomHigh;
};
void tb_InitKernel(FilterKernel* kernel);  // all weights 0, divisor 1, bias 0, all channels on
// Filters the part of a 24-bit bitmap inside rect. Every neighbour is read from the unchanged
// picture; neighbours outside the picture count as 0. Results are limited to 0..255.
void tb_Convolve(int bitmap, const Rect* rect, const FilterKernel* kernel);
// A colouring page made clean: when the bitmap's picture is dark line art on light paper, every
// pixel becomes pure black or pure white (pictures/line_art.h), so that fills reach the lines.
// Anything else, and an 8-bit bitmap, stays as it is. 1 when the picture was line art.
int tb_CleanLineArt(int bitmap);
// A new 24-bit width x height bitmap holding the bitmap's picture shrunk by averaging, so that
// lines thinner than the shrink survive as grey (pictures/line_art.h); -1 when it cannot be made.
int tb_ShrinkBitmap(int bitmap, int width, int height);

// ---- Rectangles, sounds and time --------------------------------------------------------
// A rectangle is empty when right <= left or bottom <= top. Results may alias the arguments.
// Null pointers are ignored (a result of 0).
void tb_SetRect(Rect* rect, int left, int top, int right, int bottom);
void tb_OffsetRect(Rect* rect, int dx, int dy);
void tb_InsetRect(Rect* rect, int dx, int dy);  // negative values grow the rect
int tb_PtInRect(int x, int y, const Rect* rect);  // 1 when left <= x < right and top <= y < bottom
// 1 when the overlap is not empty; otherwise the destination becomes all zeros and 0 is returned.
int tb_IntersectRect(Rect* destination, const Rect* a, const Rect* b);
// Destination last. An empty rect adds nothing: the union with it is the other rect, and two
// empty rects give all zeros and 0.
int tb_UnionRect(const Rect* a, const Rect* b, Rect* destination);

// Sounds are WAVE resources by id; one plays at a time. While the sound switch is 0 nothing
// plays and nothing beeps, but tb_StopSound still stops. The switch is 1 after tb_Init.
void tb_PlaySound(int soundId);      // ids <= 0 ignored; a sound already playing is not interrupted
void tb_PlaySoundNow(int soundId);   // ids <= 0 ignored; replaces what plays
void tb_PlaySoundLoop(int soundId);  // replaces what plays and repeats until stopped
void tb_StopSound();
void tb_Beep();                      // the desktop's warning sound
void tb_SetSoundSwitch(int on);      // any non-zero is on
int tb_GetSoundSwitch();

// Milliseconds on a clock that wraps at 2^32; differences taken unsigned survive the wrap.
uint32_t tb_GetTime();
// Returns after at least `ms` milliseconds. It sleeps and processes no messages meanwhile.
void tb_Wait(int ms);
// Returns once at least `ms` milliseconds have passed since `start` (a tb_GetTime value);
// at once when they already have. Paces animation frames without spinning.
void tb_WaitSince(uint32_t start, int ms);
// A Timer message with `timerId` reaches `window` every `periodMs` until killed.
void tb_SetTimer(platform::NativeWindow window, int timerId, int periodMs);
void tb_KillTimer(platform::NativeWindow window, int timerId);

// ---- Files, file dialogs and the BMP format --------------------------------------------
// One current file at a time: opened for writing (tb_CreateFile, tb_CreatePrefsFile) or for
// reading (tb_OpenFile, tb_OpenPrefsFile), then written or read in blocks and closed. Opening
// again without closing abandons the previous file (a file being written is not put in place).
// Paths use "/" and have no length limit.
//
// Saving never destroys the file that was there. A file created for writing is a temporary
// file beside its target; tb_CloseFile puts it in place with a rename only when every write and
// the flush to disk succeeded. How a caller learns the outcome:
//   - tb_WriteFile returns 1 when this block (or any earlier one) could not be written;
//   - tb_WriteBitmapToFile returns 1 only when all of the picture was written;
//   - tb_CloseFile returns 1 when the file is in place under its name, 0 when a write, the flush
//     or the rename failed: the old file at that path is then untouched and the temporary file
//     is gone. Only a 1 from tb_CloseFile means "saved".
// A target that is a device rather than a regular file (such as /dev/null) is written directly.
//
// The file dialogs start in the program directory and do not ask before a file is replaced.
// Save As offers one filter for "*.bmp" and adds ".bmp" when no extension is typed; Open
// offers every kind of picture the program reads (.bmp, .png, .jpg, .jpeg); a PNG copy's
// Save As offers "*.png" and makes sure the name ends in ".png".

enum class tb_FileKind { Bitmap, Png };

// 1 created for writing; -1 not created (missing or read-only folder, a folder or read-only
// file at the path); 0 the Save As dialog was cancelled; 10..23 the dialog failed. With the
// dialog, `path` offers its file-name part and receives the chosen full path.
int tb_CreateFile(std::string& path, int showDialog, tb_FileKind kind = tb_FileKind::Bitmap);
// 1 opened for reading; -1 cancelled, the dialog failed, or no regular file could be opened.
int tb_OpenFile(std::string& path, int showDialog);
int tb_CreatePrefsFile();  // 1 or -1: "mwsptk10.pfs" in tb_GetWindowsDirectory(), for writing
int tb_OpenPrefsFile();    // 1 or -1: the same file, for reading
int tb_WriteFile(const void* buffer, size_t count);  // 0 written; 1 failure or no file for writing
// 0 when the read worked, also when fewer bytes remained (`bytesRead`, when given, says how
// many arrived); 1 on failure or with no file open for reading.
int tb_ReadFile(void* buffer, size_t count, size_t* bytesRead = nullptr);
int tb_CloseFile();           // see above; 1 also for a file read, or when nothing was open
int64_t tb_GetFileSize();     // bytes in the current file; -1 when none is open

// Writes a bitmap as a BMP file (24 bits: 14-byte file header, the 40-byte header as held, the
// bottom-up rows). 1 written; 0 an invalid bitmap (reported) or a failed write, and either way
// tb_CloseFile then leaves the old file at that path as it was.
int tb_WriteBitmapToFile(int bitmap);
// Writes a bitmap as a PNG file, lossless, as small as a quick look at its colours allows (a
// picture of at most 256 colours is written with a palette). 1 written; 0 an invalid bitmap or
// a failed write, with the same guarantee as tb_WriteBitmapToFile.
int tb_WritePngToFile(int bitmap);
// Reads the current file as a new 24-bit bitmap and sets `rect` to (0, 0, width, height).
// A BMP may have 1 to 32 bits a pixel (colour tables, colour masks, alpha laid on white),
// 8- or 4-bit run-length data (what it skips is white) and a Windows or OS/2 header.
// -1 for anything else, for a picture of more than 16384 pixels a side or 7680 x 4320
// pixels in all, and for one whose pixels are not all in the file; `rect` is then unchanged.
// The caller closes the file.
int tb_ReadBitmapFromFile(Rect* rect);
// The same picture as a width x height bitmap, stretched as tb_CopyBitmap stretches it into a
// rectangle of that size; however big the picture, only one row of it is held at a time.
int tb_ReadBitmapPreview(int width, int height, Rect* rect);

// A path or file name as text for the child's parent to read (message boxes, the dialogs,
// drawn titles): names that are not UTF-8 are converted as the desktop shows them. The file is
// still reached by the path itself, never by this text.
std::string tb_DisplayName(const std::string& path);
std::string tb_GetCurrentDirectory();  // without a trailing "/"; empty on failure
// The user's configuration folder for the program, $XDG_CONFIG_HOME/pictoria (default
// ~/.config/pictoria), created when missing; without a trailing "/".
std::string tb_GetWindowsDirectory();
// The names of the files in `folder` whose names end in `extension` (".bmp", or several
// separated by ";": ".bmp;.png"), letters compared
// without case: regular files and links to them, hidden ones left out, in no particular order.
// The listing stops after `most` names, so a huge folder costs no more than that.
std::vector<std::string> tb_ListFolder(const std::string& folder, const char* extension, size_t most = SIZE_MAX);
// Creates the folder and any missing folders above it. 1 when it exists afterwards, else 0.
int tb_CreateFolder(const std::string& path);
void tb_SetProgramDirectory(const std::string& path);  // where the file dialogs start
std::string tb_GetProgramDirectory();                  // tb_Init sets the current directory
// The folder part of the path's absolute form, with its trailing "/": "Pictures/a.bmp" in
// /P gives "/P/Pictures/". "." and ".." are resolved by name; a path ending in "/" is whole.
std::string tb_GetPathDirectory(const std::string& path);

// ---- Printing ------------------------------------------------------------------------------
// One document at a time: tb_OpenPrinter, then for each page tb_StartPage, drawing into
// kPrinterHandle (copies stretch onto it, the primitives and text draw on it; flood fill and
// reading its pixels do nothing), tb_EndPage; finally tb_ClosePrinter. The page is measured in
// printer pixels from the paper's top-left corner.
//
// The print dialog, owned by the main window; the printer, paper and settings chosen are
// offered again next time. kPrinterHandle when a document was started; -1 when the dialog was
// cancelled (nothing shown) or failed (shown in the "Attention!" box).
int tb_OpenPrinter();
void tb_StartPage();
void tb_EndPage();
// Hands the document to the desktop's printing and waits until it is accepted; a document the
// desktop refused is shown in the "Attention!" box with the reason.
void tb_ClosePrinter();
platform::PrintPage* tb_GetPrinterDC();  // the open document's page, or null
float tb_GetPageWidthInches();   // the paper as it lies; 0 without a document
float tb_GetPageHeightInches();
int tb_GetPrinterDpiX();  // of the printer chosen last, even once its document is closed; 0 before
int tb_GetPrinterDpiY();
// The printable part of the page: the whole paper, (0, 0, width x dpi, height x dpi), truncated.
void tb_GetPrintableRect(Rect* rect);

// ---- Text and fonts ----------------------------------------------------------------------
// Every target (each bitmap slot, each window slot, the printer page) keeps a face, a size and
// a style, 16 bits each and all 0 until set; like the colours they belong to the slot.
// Faces: 0 Arial, 1 Courier New, 2 MS San Serif, 3 MS Serif, 4 Brush Script MT,
// 5 Times New Roman, any other Arial; each is drawn with the installed family nearest to it.
// Size: the em height in pixels (negative: the height of the whole cell; 0: a 16-pixel cell).
// Styles: 0 normal, 1 bold, 2 italic, 3 underlined, 4 struck out, any other normal.
void tb_SetFont(int target, int face);
void tb_SetFontSize(int target, int size);
void tb_SetFontStyle(int target, int style);

// Where tb_DrawText puts the text relative to (x, y). Horizontal: left, right or centre.
// Vertical: the top of the cell, or its bottom; the third vertical value centres the text
// horizontally whatever the horizontal value says and keeps the top on y. Other values count
// as 0.
constexpr int kTextLeft = 0;
constexpr int kTextRight = 1;
constexpr int kTextCenter = 2;
constexpr int kTextTop = 0;
constexpr int kTextBottom = 1;
constexpr int kTextTopCentered = 2;
// Draws `length` bytes of UTF-8 (fewer when a 0 byte comes first) as one line in the target's
// font and fore colour, anti-aliased, turned `angle` degrees counter-clockwise about (x, y)
// (to a tenth of a degree) and clipped to the target and the clip in force. draw = 0 only
// measures. Returns the line's advance width in pixels, whatever the angle; 0 and nothing
// drawn for a target that cannot be drawn into. Nothing is reported. A window shows the
// change at once.
int tb_DrawText(int target, int x, int y, const char* text, int length, double angle, int draw, int horizontal,
                int vertical);
// The same line in a font named by family (as the font list gives it; a name that is not
// installed gets fontconfig's choice), the colour in bytes, centred on x with the bottom of
// its cell on y. A clip rectangle with no member -1 limits this drawing instead of the clip in
// force, and afterwards the target has no clip in force; null or any -1 keeps the clip in force.
// Returns the rectangle of the target's pixels it touched (empty when none).
Rect tb_DrawTextInFont(int target, int x, int y, const char* text, int length, const char* family, int size,
                       int style, int red, int green, int blue, double angle, const Rect* clip);
// The installed font families a child can write with, by name, sorted.
std::vector<std::string> tb_FontFamilies();

// ---- Drawing primitives and colours -------------------------------------------------------
// Every target (each bitmap slot, each window slot, the printer page) has a fore and a back
// colour, black until set; like the other drawing state they belong to the slot. Colours are
// given on the 0..65025 scale (0..65535 is accepted as well). Figures draw in the fore colour,
// clipped to the target and to the clip a copy or a line has put in force; the corners of a
// rect may come in either order. A bad bitmap handle is reported naming the operation; a
// window that is not open draws nothing. A window shows each change at once.
void tb_SetForeColor(int target, int red, int green, int blue);
void tb_SetBackColor(int target, int red, int green, int blue);  // kept; nothing draws with it
void tb_PaintRect(int target, const Rect* rect);      // columns left..right-1, rows top..bottom-1
void tb_FrameRect(int target, const Rect* rect);      // the 1-pixel border of that area
void tb_PaintEllipse(int target, const Rect* rect);   // the ellipse inscribed in that area
void tb_FrameEllipse(int target, const Rect* rect);   // its 1-pixel outline
// Width 1 or less: a 1-pixel line without its end point. Wider: round ends, and a line to its
// own start is a round dot. A bitmap's clip rectangle, when set, is put in force by the line
// and stays in force until tb_ClearClipRect; a window's limits this line only.
void tb_Line(int target, int x1, int y1, int x2, int y2, int width);
// Gives the fore colour to the area around (x, y), 4-connected, of exactly the given colour
// (nothing when (x, y) has another colour), within the clip in force.
void tb_FloodFill(int target, int x, int y, int red, int green, int blue);
void tb_PaintRegion(int target, int region);  // a region handle outside 0..99 draws nothing
void tb_Rectangle(int target, const Rect* rect);  // tb_PaintRect in black, whatever the fore colour
// The bitmap resource at (x, y), unscaled, through a copy (which honours the target's clip);
// `rect` (when given) receives (x, y, x + width, y + height). Needs a free bitmap slot.
void tb_DrawPictureToBitmap(int target, int resourceId, int x, int y, Rect* rect);
// The resource repeated from the bitmap's corner (0, 0) over rect's width and height (only its
// size counts); nothing when the rect is narrower or lower than the picture.
void tb_TileBitmap(int bitmap, int resourceId, const Rect* rect);
int tb_CreateTiledBitmap(const Rect* rect, int resourceId);  // a new 24-bit bitmap, tiled; or -1

// ---- Regions ----------------------------------------------------------------------------
// 100 slots, lowest free first. Handles outside 0..99 and free slots are ignored (no region).
constexpr int kEndOfPoints = -9999999;  // a point with this x or y ends a point list
constexpr int kMaxRegionPoints = 100;   // points after these are not used
// The polygon through the points, closed, filled by the winding rule. -1 for an empty list
// (nothing reported), when no slot is free, or for a region more than 32768 pixels wide or tall
// (no screen needs one; "Failed to create region.").
int tb_CreateRegion(const Point* points);
// The ellipse inscribed in (x - radius, y - radius, x + radius, y + radius); -1 for radius 0,
// and, reported, for a radius over 16384.
int tb_CreateCircleRegion(int x, int y, int radius);
// A new region holding both; the caller disposes all three. -1 when no slot is free.
int tb_UnionRegion(int a, int b);
int tb_PtInRegion(int x, int y, int region);  // 1 inside, else 0
void tb_DisposeRegion(int region);

// ---- Rounding and random numbers ----------------------------------------------------------
// tb_Round: halves up from 1 on (2.5 gives 3, 1.49 gives 1), but every x below 1 is truncated
// toward zero (0.99 gives 0, -1.5 gives -1). Results are limited to the range of int.
int tb_Round(double x);
int tb_Trunc(double x);  // toward zero, limited to the range of int
int tb_Random(int low, int high);  // low..high inclusive; high when high < low
// As tb_Random, after seeding the generator from the time of day when reseed is non-zero.
int tb_RandomSeeded(int low, int high, int reseed);
