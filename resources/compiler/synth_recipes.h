// The program's sounds, one recipe each, made with the building blocks of synth.h and listed
// by name in SynthRecipes() (wave.cpp). Loops end where they begin; one-shots start and end at
// silence. The comment on each says what it is for and how it should sound.
#pragma once

#include "synth.h"

namespace synth {

// Loops, played while a tool is pressed.
Samples MakePencil();       // soft scratching of lead on paper
Samples MakeBrush();        // two slow swishes of a wet brush
Samples MakeSprayCan();     // an airy hiss
Samples MakeWand();         // a sparkling shimmer
Samples MakeNeedle();       // zip-zip of thread pulled through
Samples MakeCog();          // ticking clockwork
Samples MakeHammer();       // gentle tapping on a chisel
// Loops of the tools a child never gets to hold (made so that every id has a sound).
Samples MakeRag();
Samples MakeSunglasses();
Samples MakeLightbulb();
Samples MakePepper();
Samples MakePocketKnife();
Samples MakeCrayon();

// One-shots.
Samples MakeRuler();        // a slide, then a wooden click as the line is laid down
Samples MakeEraser();       // a short rub
Samples MakeJar();          // paint glugging out of a jar
Samples MakeScissors();     // snip-snip
Samples MakePop1();         // five bubble pops, each higher than the one before
Samples MakePop2();
Samples MakePop3();
Samples MakePop4();
Samples MakePop5();
Samples MakeSplat1();       // three squelchy paint splats
Samples MakeSplat2();
Samples MakeSplat3();
Samples MakeClick();        // a short wooden tick
Samples MakeDropper();      // a bloop
Samples MakeStamp();        // a soft thunk
Samples MakeUndo();         // a whoosh that runs backwards
Samples MakeTemplates();    // a boing
Samples MakeChoose();       // a cheerful two-note blip
Samples MakeControl();      // a light tick

// The New picture's transitions, about a second each.
Samples MakeWipe();         // a swoosh sweeping upwards
Samples MakeMelt();         // a wobbly slide down with drips
Samples MakeSlide();        // a slide whistle gliding down past a swoosh
Samples MakeShrink();       // a whirr rising and speeding up, ending in a pip

}  // namespace synth
