// The title screen: start, load, continue, over a slowly circling picture with music.
#pragma once

// Shows the title until the player starts (nextpoint "start"), loads a slot ("restart") or
// continues from the resume file (the names stored there), with e 1; or quits, with e 0.
void title();

// Draws frame n with button `button` (1 start, 2 load, 3 continue, 0 none) highlighted;
// saves[0] tells whether any slot exists, saves[1] the resume file. Keeps 20 ms per frame.
void titleDraw(int button, const int* saves, int n);

// The names of the pictures the title's first frame shows, from the back (the buttons as they
// look with the pointer over none of them, for the saves there are now).
const int kTitlePictures = 5;
void titleFirstPictures(const char* names[kTitlePictures]);
