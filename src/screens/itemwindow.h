// The item window: what the player carries, over the whole display, until a click or a key.
#pragma once

// Lists every item held (the name, or the name, an ideographic space and the count when
// more than one is held) in three columns over the sheet "item", and waits.
void itemwindow();

// The label of item n as the window shows it, into label (capacity 64 bytes).
void itemLabel(int n, char* label, int size);
