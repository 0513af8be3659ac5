#include "core/gametext.h"

char gameCaption[kGameTextSize] = "TesSellane'Arc";

char gameOverNarration[kNarrationSize] =
    "[膝から力が抜け、あなたは冷たい砂の上に崩れ落ちた。<n>"
    "遠ざかる潮騒の中で、誰かが名前を呼んだ気がした。<p>"
    "そして、灯台の光も見えなくなった……";

char chapterTitles[6][kGameTextSize] = {
    "", "潮騒の目覚め", "灯台への道", "沈んだ星図", "夜明けの鐘", "Tessellane'Arc",
};
