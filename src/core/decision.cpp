#include "core/decision.h"

#include <cstdlib>

#include "core/platform.h"

namespace {

DecisionHooks hooks;
PageHooks pages;
bool quiet;

}  // namespace

void decisionHooks(const DecisionHooks& replacement) { hooks = replacement; }

const DecisionHooks& decisionHooksNow() { return hooks; }

bool decisionAnswered(const Decision& decision, Answer* answer)
{
    *answer = Answer{};
    return hooks.answer && hooks.answer(decision, answer);
}

void decisionTaken(const Decision& decision, const Answer& answer)
{
    if (hooks.taken) hooks.taken(decision, answer);
}

void pageHooks(const PageHooks& replacement) { pages = replacement; }

bool pageTurnAnswered(const char* text) { return pages.answer && pages.answer(text); }

void pageTurnTaken(const char* text)
{
    if (pages.turned) pages.turned(text);
}

int scriptDraw(int n)
{
    Decision decision{DecisionKind::Draw, n < 0 ? -n : n, 1, nullptr, nullptr, 0, 0};
    Answer answer;
    if (!decisionAnswered(decision, &answer)) {
        // Seeded at every draw from the clock in seconds: draws within one second are equal.
        std::srand(static_cast<unsigned>(platformTime()));
        int draw = std::rand() % 32768;   // draws keep the small generator's range
        answer.value[0] = draw % n;
    }
    decisionTaken(decision, answer);
    return answer.value[0];
}

void quietSet(bool on) { quiet = on; }

bool quietRun() { return quiet; }
