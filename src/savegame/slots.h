// The slot screen: three save slots picked with the mouse.
#pragma once

// Modes: 0 load ("load" background, only saved slots shown and pickable), 1 save ("save"
// background, every slot pickable), 2 saved (the confirmation after a save; drawing only).

// Draws the screen for the slot rows of a SaveData (heads and flags of slots 1-3) with slot
// `highlight` (1-3, 0 none) highlighted, and flips.
void saveDraw(const int (*heads)[6], int highlight, int mode, const int (*flags)[2800]);

// Tells the player, over the screen as it stands, that the save could not be written, and
// flips.
void saveFailedNotice();

// Runs the screen; answers the slot chosen (1-3), or 0 when the player left with the right
// button, Escape or the close request (the last two also set e to 0).
int savePick(const int (*heads)[6], int mode, const int (*flags)[2800]);

// The chapter a save has reached, from its flags 51-55 (1 when none is set).
int chapterOf(const int* flags);

// The two lines a save card shows of the chapter: its label ("第%d章", 4 for chapter 5) and
// its name.
void chapterNames(const int* flags, char (*lines)[64]);
