#include "presentation/sequences.h"

#include "presentation/text.h"

// The full sequence comes with the effects; until then only the last page is shown.
void GameOver() { text("[Game Over……", 0); }
