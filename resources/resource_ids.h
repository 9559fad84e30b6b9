// Every compiled-in resource by name. Bitmaps, cursors, sounds and icons are separate kinds, so the
// same number may name a bitmap and a cursor (bitmap 171 is the Scissors' mask, cursor 171 a cursor).
//
// Sizes are width x height in pixels. "Mask" means an 8-bit picture, pure white where its image
// shows and pure black elsewhere; the image itself is white outside its shape.
#pragma once

// ---- The room ------------------------------------------------------------------------------

inline constexpr int kBmpShelf = 100;          // 147 x 480, drawn at (0, H - 480)
inline constexpr int kBmpTable = 101;          // 640 x 96, drawn at (0, H - 96)
inline constexpr int kBmpShelfMask = 102;      // 147 x 480
inline constexpr int kBmpTableMask = 103;      // 640 x 96
inline constexpr int kBmpWallpaper = 104;      // 256 x 256, tiles seamlessly

// The picture frame around the canvas, drawn edge to edge from these pieces.
inline constexpr int kBmpFrameLeftPost = 105;          // 17 x 399, the lowest piece
inline constexpr int kBmpFrameBottomRail = 106;        // 509 x 15, the leftmost piece
inline constexpr int kBmpFrameCornerTopLeft = 107;     // 32 x 15
inline constexpr int kBmpFrameCornerTopRight = 108;    // 32 x 16
inline constexpr int kBmpFrameCornerBottomRight = 109; // 20 x 32
inline constexpr int kBmpFrameTopRail = 110;           // 500 x 16, repeats rightward
inline constexpr int kBmpFrameRightPost = 111;         // 19 x 389, repeats upward
inline constexpr int kBmpFrameLeftPostRepeat = 112;    // 17 x 385, repeats downward from y 0
inline constexpr int kBmpFrameBottomRailRepeat = 113;  // 492 x 15, repeats leftward

// Lit pictures of the shelf and table hotspots, copied without a mask over the room.
inline constexpr int kBmpLitRock = 114;       // never drawn
inline constexpr int kBmpLitBooks = 115;      // never drawn
inline constexpr int kBmpLitToolBox = 116;    // 111 x 125 at shelf (0, 132)
inline constexpr int kBmpLitMagicHat = 117;   // never drawn
inline constexpr int kBmpLitPrinter = 118;    // 111 x 91 at shelf (0, 246)
inline constexpr int kBmpLitToys = 119;       // 111 x 91 at shelf (0, 246)
inline constexpr int kBmpLitKeyboard = 120;   // 133 x 47 at shelf (5, 420)
inline constexpr int kBmpLitCleaner = 121;    // 23 x 92 at shelf (124, 341)
inline constexpr int kBmpLitRemote = 122;     // 50 x 43 at table (131, 36)
inline constexpr int kBmpLitPaintTube = 138;  // 55 x 21 at table (483, 55)

// Paint cans: one picture of all eight tops, and a mask per can (kBmpCanMaskFirst + can).
inline constexpr int kBmpCanMaskFirst = 141;  // 141 to 148, 142 x 39 each
inline constexpr int kBmpCanTops = 151;       // 142 x 39; each paint surface pure black and closed

inline constexpr int kBmpPaintBlot = 149;      // 44 x 17; surface pure black, closed, holds (21, 8)
inline constexpr int kBmpPaintBlotMask = 150;  // 44 x 17
inline constexpr int kBmpMonitorBlank = 152;   // 94 x 82

inline constexpr int kBmpToolMarker = 172;      // 20 x 20, bottom-left at the current tool's centre
inline constexpr int kBmpTrayMarker = 173;      // 24 x 20
inline constexpr int kBmpToolMarkerMask = 174;  // 20 x 20
inline constexpr int kBmpTrayMarkerMask = 175;  // 24 x 20

inline constexpr int kBmpSpeakerOn = 600;        // 16 x 21
inline constexpr int kBmpSpeakerOff = 601;       // 16 x 21
inline constexpr int kBmpSpyglass = 602;         // 22 x 21
inline constexpr int kBmpSpyglassZoomed = 603;   // 22 x 21

// ---- Labels: 572 x 22 pictures shown in the label strip ------------------------------------

inline constexpr int kBmpLabelBlank = 700;
inline constexpr int kBmpLabelPencil = 701;
inline constexpr int kBmpLabelBrush = 702;
inline constexpr int kBmpLabelRuler = 703;
inline constexpr int kBmpLabelEraser = 704;
inline constexpr int kBmpLabelDropper = 705;
inline constexpr int kBmpLabelJar = 706;
inline constexpr int kBmpLabelTemplates = 707;
inline constexpr int kBmpLabelScissors = 708;
inline constexpr int kBmpLabelSprayCan = 709;
inline constexpr int kBmpLabelCleaner = 710;    // undo
inline constexpr int kBmpLabelPaintTube = 711;  // any colour
inline constexpr int kBmpLabelPaintCans = 712;
inline constexpr int kBmpLabelKeyboard = 713;   // text
inline constexpr int kBmpLabelRemote = 714;
inline constexpr int kBmpLabelMonitor = 715;    // tool settings
inline constexpr int kBmpLabelPrinter = 716;
inline constexpr int kBmpLabelToolBox = 717;
inline constexpr int kBmpLabelMagicHat = 718;   // never drawn
inline constexpr int kBmpLabelToys = 719;
inline constexpr int kBmpLabelRock = 720;       // never drawn
inline constexpr int kBmpLabelBooks = 721;      // never drawn
inline constexpr int kBmpLabelHammer = 722;
inline constexpr int kBmpLabelBall = 723;
inline constexpr int kBmpLabelCog = 724;
inline constexpr int kBmpLabelWand = 725;
inline constexpr int kBmpLabelNeedle = 726;
inline constexpr int kBmpLabelPaintballGun = 727;
inline constexpr int kBmpLabelPocketKnife = 728;   // 728 to 737 never drawn
inline constexpr int kBmpLabelSunglasses = 729;
inline constexpr int kBmpLabelLightbulb = 730;
inline constexpr int kBmpLabelRag = 731;
inline constexpr int kBmpLabelCrayon = 732;
inline constexpr int kBmpLabelPepper = 733;
inline constexpr int kBmpLabelBumpPatterns = 734;
inline constexpr int kBmpLabelStampBook1 = 735;
inline constexpr int kBmpLabelStampBook2 = 736;
inline constexpr int kBmpLabelStampBook3 = 737;
inline constexpr int kBmpLabelSpyglass = 738;   // zoom
inline constexpr int kBmpLabelSpeaker = 739;    // sound
inline constexpr int kBmpLabelPaintBlot = 740;  // current colour

// ---- Tools on the table: picture and mask, exactly their rectangle's size -------------------

inline constexpr int kBmpPencil = 154, kBmpPencilMask = 163;        // 65 x 14
inline constexpr int kBmpBrush = 155, kBmpBrushMask = 164;          // 88 x 22
inline constexpr int kBmpEraser = 156, kBmpEraserMask = 165;        // 36 x 15
inline constexpr int kBmpSprayCan = 157, kBmpSprayCanMask = 166;    // 19 x 54
inline constexpr int kBmpRuler = 158, kBmpRulerMask = 167;          // 93 x 15
inline constexpr int kBmpTemplates = 159, kBmpTemplatesMask = 168;  // 37 x 17
inline constexpr int kBmpJar = 160, kBmpJarMask = 169;              // 22 x 27
inline constexpr int kBmpDropper = 161, kBmpDropperMask = 170;      // 52 x 17
inline constexpr int kBmpScissors = 162, kBmpScissorsMask = 171;    // 46 x 19

inline constexpr int kBmpHammer = 400, kBmpHammerMask = 406;              // 51 x 35
inline constexpr int kBmpBall = 401, kBmpBallMask = 407;                  // 24 x 24
inline constexpr int kBmpCog = 402, kBmpCogMask = 408;                    // 61 x 30
inline constexpr int kBmpWand = 403, kBmpWandMask = 409;                  // 114 x 21
inline constexpr int kBmpNeedle = 404, kBmpNeedleMask = 410;              // 51 x 37
inline constexpr int kBmpPaintballGun = 405, kBmpPaintballGunMask = 411;  // 75 x 38

// Objects that can never become the current tool; their pictures are never drawn.
inline constexpr int kBmpBumpPatternsFirst = 200, kBmpBumpPatternsMaskFirst = 206;  // six each
inline constexpr int kBmpMagicToolFirst = 300, kBmpMagicToolMaskFirst = 306;        // six each
inline constexpr int kBmpStampBookFirst = 500, kBmpStampBookMaskFirst = 503;        // three each

// ---- Dialogs and effects ----------------------------------------------------------------------

inline constexpr int kBmpRemote = 123;      // 228 x 240
inline constexpr int kBmpRemoteMask = 124;  // 228 x 240
// Pressed remote buttons: Quit, Save, New, Open, About, Help, Prefs, Gallery (kBmpRemotePressedFirst + button).
inline constexpr int kBmpRemotePressedFirst = 125;  // 125 to 132
inline constexpr int kBmpRemoteLight = 133;         // 18 x 17
inline constexpr int kBmpColourPalette = 136;       // 369 x 242
inline constexpr int kBmpColourPaletteMask = 137;   // 369 x 242

inline constexpr int kBmpSplatFirst = 412;      // 412 to 414, 120 x 120, black on white
inline constexpr int kBmpSplatMaskFirst = 415;  // 415 to 417, white on black

inline constexpr int kBmpFontDialog = 800;    // 495 x 370
inline constexpr int kBmpGallery = 801;       // 408 x 417
inline constexpr int kBmpGalleryPrev = 802;   // 54 x 36
inline constexpr int kBmpGalleryNext = 803;   // 54 x 36
inline constexpr int kBmpPreferences = 900;   // 420 x 319, choice labels drawn in
inline constexpr int kBmpAbout = 905;         // 421 x 244, 8-bit
inline constexpr int kBmpTitleScreen = 907;   // 448 x 324
inline constexpr int kBmpGrownUp = 908;       // 360 x 232, the sum and the answer drawn in

// ---- The program icon: several sizes under one id (FindIcon) ----------------------------------

inline constexpr int kIconProgram = 375;

// ---- Dialogs: painted, by template id -----------------------------------------------------------

inline constexpr int kDialogColourPalette = 156;  // 369 x 242, painted over the room
inline constexpr int kDialogPictureBrowser = 156;  // the same template; the browser makes itself 408 x 417
inline constexpr int kDialogRemote = 156;          // 228 x 240, sized by the remote itself
inline constexpr int kDialogTitleScreen = 156;     // 448 x 324, sized by the title screen
inline constexpr int kDialogPreferences = 156;     // 420 x 319, sized by the dialog
inline constexpr int kDialogGrownUp = 156;         // 360 x 232, sized by the dialog
inline constexpr int kDialogAbout = 10001;         // 421 x 244
inline constexpr int kDialogText = 361;            // 495 x 370, with an edit box and a font list

// ---- Cursors: 32 x 32 with a hot spot --------------------------------------------------------

inline constexpr int kCurSpare = 171;           // in the set, never shown
inline constexpr int kCurDropper = 200;         // over a paint can, and the Dropper
inline constexpr int kCurOverTool = 201;        // over a tool on the table
inline constexpr int kCurPointing = 202;        // over something that reacts
inline constexpr int kCurArrow = 203;           // the default
inline constexpr int kCurPencil = 204;
inline constexpr int kCurBrush = 205;
inline constexpr int kCurEraser = 206;
inline constexpr int kCurJar = 207;
inline constexpr int kCurSprayCan = 208;
inline constexpr int kCurRuler = 209;
inline constexpr int kCurScissors = 210;
inline constexpr int kCurTemplates = 211;
inline constexpr int kCurZoom = 212;            // while choosing the zoom point
inline constexpr int kCurBumpPatterns = 213;    // 213 to 219: tools never current, not shown
inline constexpr int kCurPocketKnife = 214;
inline constexpr int kCurSunglasses = 215;
inline constexpr int kCurLightbulb = 216;
inline constexpr int kCurRag = 217;
inline constexpr int kCurCrayon = 218;
inline constexpr int kCurPepper = 219;
inline constexpr int kCurHammer = 220;
inline constexpr int kCurBall = 221;
inline constexpr int kCurCog = 222;
inline constexpr int kCurWand = 223;
inline constexpr int kCurNeedle = 224;
inline constexpr int kCurPaintballGun = 225;
inline constexpr int kCurSpeaker = 226;         // over the speaker and the spyglass
inline constexpr int kCurText = 227;            // while placing text
inline constexpr int kCurStampBook = 228;       // not shown

// ---- Sounds: 16-bit PCM WAVE -------------------------------------------------------------------

inline constexpr int kWavPencil = 1000;       // loops while drawing
inline constexpr int kWavBrush = 1001;        // loops
inline constexpr int kWavRuler = 1002;        // a line laid down
inline constexpr int kWavEraser = 1003;       // each drag event
inline constexpr int kWavJar = 1004;          // pours
inline constexpr int kWavScissors = 1005;     // selecting
inline constexpr int kWavPopFirst = 1006;     // 1006 to 1010 bubble pops; 1006 also: piece cut
inline constexpr int kWavPopCount = 5;
inline constexpr int kWavWand = 1011;         // loops
inline constexpr int kWavSplatFirst = 1012;   // 1012 to 1014 paintball splats
inline constexpr int kWavSplatCount = 3;
inline constexpr int kWavClick = 1015;        // speaker, spyglass, zoom point, remote
inline constexpr int kWavNewWipe = 1016;
inline constexpr int kWavNewMelt = 1017;
inline constexpr int kWavNewSlide = 1018;
inline constexpr int kWavDropper = 1019;      // a paint can chosen, the Dropper
inline constexpr int kWavStamp = 1020;        // text stamped, a piece pasted
inline constexpr int kWavSprayCan = 1023;     // loops
inline constexpr int kWavNeedle = 1024;       // loops
inline constexpr int kWavCog = 1025;          // loops
inline constexpr int kWavHammer = 1026;       // loops
inline constexpr int kWavUndo = 1028;         // the cleaner bottle
inline constexpr int kWavTemplates = 1029;
inline constexpr int kWavNewShrink = 1031;
inline constexpr int kWavChoose = 1034;       // a tool, tray or hotspot chosen
inline constexpr int kWavControl = 1035;      // a control on the monitor or in a dialog

// Sounds of objects that can never become the current tool: never played.
inline constexpr int kWavRag = 1030;
inline constexpr int kWavSunglasses = 1032;
inline constexpr int kWavLightbulb = 1033;
inline constexpr int kWavPepper = 1036;
inline constexpr int kWavPocketKnife = 1037;
inline constexpr int kWavCrayon = 1038;
