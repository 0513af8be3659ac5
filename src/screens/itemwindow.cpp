#include "screens/itemwindow.h"

#include <cstdio>
#include <cstring>

#include "core/decision.h"
#include "core/onscreen.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/textfile.h"
#include "presentation/audio.h"
#include "presentation/draw.h"
#include "presentation/text.h"

void itemLabel(int n, char* label, int size)
{
    char count[24] = "";
    if (item[n] > 1) std::snprintf(count, sizeof count, "　%d", item[n]);
    // A long name gives up whole characters to keep the count, never half of one.
    int room = size - 1 - static_cast<int>(std::strlen(count));
    std::snprintf(label, size, "%.*s", room > 0 ? room : 0, iname[n]);
    dropPartialCharacter(label);
    std::strncat(label, count, size - 1 - std::strlen(label));
}

void itemwindow()
{
    if (quietRun()) return;
    shownOpens(Shown::Items);
    systemSound("paper");
    blitPicture("item", 0, 0);
    SDL_Surface* labels[kItemCount] = {};
    int shown = 0;
    for (int n = 0; n < kItemCount; ++n) {
        if (item[n] <= 0) continue;
        char label[kNameSize];
        itemLabel(n, label, sizeof label);
        labels[shown++] = itemFont && label[0] ? TTF_RenderUTF8_Solid(itemFont, label, color_black)
                                               : nullptr;
    }
    for (int k = 0; k < shown; ++k) {
        int x = 125 + 185 * (k % 3), y = 140 + 30 * (k / 3);
        // Drawn four times, a pixel apart, to thicken the strokes.
        blitSurface(labels[k], x, y);
        blitSurface(labels[k], x, y + 1);
        blitSurface(labels[k], x + 1, y);
        blitSurface(labels[k], x + 1, y + 1);
    }
    platformFlip(screen);
    wait2();
    systemSound("paper");
    for (int k = 0; k < shown; ++k)
        if (labels[k]) SDL_FreeSurface(labels[k]);
}
