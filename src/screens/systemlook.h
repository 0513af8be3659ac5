// The look of the game menu's screens (the menu, the question, the settings): panels and
// plates from the game's system pictures where it has them, otherwise drawn by the engine in
// the colours of a night sky and old gold. The screens draw over what the game showed when the
// menu opened, dimmed.
#pragma once

#include <SDL.h>

// A rectangle of screen pixels, x..x+w-1 by y..y+h-1.
struct LookBox {
    int x, y, w, h;
    bool holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// Colours of the look.
extern const SDL_Color kLookLight;   // text on dark ground
extern const SDL_Color kLookDark;    // text on a lit plate
extern const SDL_Color kLookGold;    // titles, the highlighted row's label
extern const SDL_Color kLookDim;     // what cannot be chosen

// A copy of what the screen shows now, dimmed to half its light; null when none can be made.
SDL_Surface* lookDimmedCopy();

// Draws `under` (the dimmed copy) over the whole screen; nothing when null.
void lookUnder(SDL_Surface* under);

// A panel: the picture `name` with its top-left corner at the box's, or (without one, or with
// a null name) a drawn one filling it.
void lookPanel(const char* name, const LookBox& box);

// A plate with its text in the middle: "gamemenu_on" (lit) or "gamemenu_off" with its corner
// at the box's, or a drawn plate filling the box. The text is dark on a lit plate, light on
// others, dim on one that cannot be chosen now.
void lookPlate(const LookBox& box, const char* text, bool lit, bool available = true);

// A small drawn chip for a value to choose (the settings' on and off): lit when chosen.
void lookChip(const LookBox& box, const char* text, bool lit);

// A drawn outline of `thickness` pixels inside the box.
void lookFrame(const LookBox& box, SDL_Color colour, int thickness);

// A filled box.
void lookFill(const LookBox& box, SDL_Color colour);

// Text with its top-left corner at (x, y) (big: the message font, else the smaller one), or
// centred on cx when `centred`. Answers its width.
int lookText(const char* text, int x, int y, SDL_Color colour, bool big, bool centred = false);
