#include "check/moves.h"

#include <set>

#include "check/conditions.h"

namespace {

const int kSceneMarks = 20;   // marks 0-19 are cleared as each scene starts

// The route the game is on in a scene: its letter, A 1 ... Z 26; start is on route 1; 0 when
// it varies (restart runs on the route of the loaded slot).
int routeOf(const std::string& scene)
{
    if (scene == "start" || scene.rfind("OP", 0) == 0) return 1;
    if (!scene.empty() && scene[0] >= 'A' && scene[0] <= 'Z') return scene[0] - 'A' + 1;
    return 0;
}

std::string sceneOf(const std::string& file)
{
    size_t slash = file.rfind('/'), dot = file.rfind('.');
    return file.substr(slash + 1, dot - slash - 1);
}

// Why the section can offer no destination; "" when it can offer one.
std::string noWayOn(const std::string& scene, const MoveSection& move, const CanBeSet& canBeSet)
{
    std::string why;
    bool listed = false;
    int route = routeOf(scene);
    for (const MoveBranch& branch : move.branches) {
        if (branch.broken) continue;
        std::string branchWhy;
        if (!branch.always && !conditionCanHold(branch.condition, canBeSet, route, &branchWhy)) {
            if (why.empty()) why = branchWhy;
            continue;
        }
        for (const MoveCandidate& candidate : branch.candidates) {
            listed = true;
            std::string candidateWhy;
            if (candidate.condition.empty() || conditionCanHold(candidate.condition, canBeSet, route, &candidateWhy))
                return "";
            if (why.empty()) why = candidateWhy;
        }
    }
    if (!why.empty()) return "no destination's condition can hold in a state that reaches the scene (" + why + ")";
    return listed ? "no destination can be offered" : "the list names no destination";
}

}  // namespace

void checkMoves(const std::map<std::string, MoveSection>& sections, const std::vector<NumberUse>& uses,
                Findings& found)
{
    // What any scene raises, and the marks each scene raises for itself.
    std::set<std::pair<int, int>> raised;
    std::set<std::pair<std::string, int>> marks;
    for (const NumberUse& u : uses) {
        if (!u.set) continue;
        raised.insert({static_cast<int>(u.table), u.number});
        if (u.table == Table::Mark) marks.insert({sceneOf(u.place.file), u.number});
    }
    for (const auto& [scene, move] : sections) {
        if (!move.present || !move.menuOpens || move.searchLeaves) continue;
        if (move.branches.empty()) {
            found.error(move.place, "move-list",
                        "the `*move*` section has no list (`{` ... `}`, or an `if` chain): the game stops "
                        "with \"*move*の文法が間違っています\" when the menu opens here");
            continue;
        }
        CanBeSet canBeSet = [&, scene = scene](Table table, int number) {
            if (table == Table::Mark && number < kSceneMarks) return marks.count({scene, number}) != 0;
            return raised.count({static_cast<int>(table), number}) != 0;
        };
        std::string why = noWayOn(scene, move, canBeSet);
        if (!why.empty())
            found.error(move.place, "softlock",
                        "the move list can leave the player with no way on: " + why +
                            "; once the field menu opens here, only quitting is left");
    }
}
