// What players notice: whether animations keep their pace and whether the game starts at once
// and stays light. Every figure is measured in the same run and shown beside its target; the
// frame costs as multiples of one full-screen background blit plus one flip, the least any frame
// costs, so that they read the same on machines whose blits and flips differ in speed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <string>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "app/init.h"
#include "live.h"
#include "pagesaves.h"
#include "core/platform.h"
#include "core/replay.h"
#include "core/state.h"
#include "interpreter/script.h"
#include "presentation/cache.h"
#include "presentation/effects.h"
#include "presentation/text.h"
#include "savegame/save.h"
#include "savegame/slots.h"
#include "screens/choice.h"
#include "screens/menu.h"
#include "screens/title.h"

namespace {

const std::string kSource = TESSARC_SOURCE_DIR;

// ---- Drawing --------------------------------------------------------------------------------

void Reference(benchmark::State& state)
{
    ImgReplace("./bg/shore.jpg", "bg");
    SDL_Surface* bg = ImgGet("bg");
    for (auto _ : state) SDL_BlitSurface(bg, nullptr, screen, nullptr);
}

// Showing a finished frame, which every animation frame pays on top of its drawing.
void Flip(benchmark::State& state)
{
    for (auto _ : state) platformFlip(screen);
}

// Whole animations run with the pacing sleeps taken out (the clock is virtual here); each
// iteration is one frame.
void FadeFrame(benchmark::State& state)
{
    for (auto _ : state) fade(0);
}

void ShakeFrame(benchmark::State& state)
{
    for (auto _ : state) shake();
}

void BlackOutFrame(benchmark::State& state)
{
    int k = 0;
    for (auto _ : state) {
        drawIrisFrame(k);
        platformFlip(screen);
        k = (k + 1) % 10;
    }
}

void TitleFrame(benchmark::State& state)
{
    int saves[2] = {1, 1}, frame = 0;
    for (auto _ : state) {
        ++frame;
        titleDraw(frame % 4, saves, frame);
    }
}

const char kMessage[] =
    "[潮の匂いで目が覚めた。冷たい砂が、頬に張りついている。<n>"
    "ここは……どこだ？名前も、ここへ来たわけも<c red>思い出せない</c>。<n>"
    "遠くで、<b>灯台の鐘</b>が一度だけ鳴った。<s>ゴォン……</s><n>"
    "<f>――夜が明ければ、きっと思い出すから。</f>";

void MessagePage(benchmark::State& state)
{
    static Page page;
    for (auto _ : state) {
        layoutPage(kMessage, 1, 0, &page);
        textDraw(page, 0);
    }
}

void ChoiceList(benchmark::State& state)
{
    static const char texts[4][kOptionSize] = {"浜辺へ戻る", "漁師小屋へ", "崖の道へ", "潮だまりへ"};
    int hover = 0;
    for (auto _ : state) pickDraw(hover++ % 5, 228, 125, 4, texts);
}

void FieldMenu(benchmark::State& state)
{
    int available[2] = {1, 1}, highlight = 0;
    for (auto _ : state) menuDraw(highlight++ % 4, available);
}

void SlotScreen(benchmark::State& state)
{
    static int heads[3][6] = {{1, 123, 72, 5}, {2, 133, 80, 9}, {3, 126, 80, 14}};
    static int flags[3][2800] = {};
    flags[1][52] = flags[2][53] = 1;
    int highlight = 0;
    for (auto _ : state) saveDraw(heads, highlight++ % 4, 1, flags);
}

// ---- The interpreter --------------------------------------------------------------------------

// A loop of 10,000 passes over flag, arithmetic and condition lines; nothing is drawn, and the
// field menu at the end quits at once (the replay's input is empty).
std::string loopScene()
{
    return "para1 = 0\n"
           "while (para1 < 10000) {\n"
           "flag+ 12\n"
           "para2 +3\n"
           "if (flag12 & para2 > 5) {\n"
           "flag- 12\n"
           "}else{\n"
           "flag+ 13\n"
           "}\n"
           "para1 +1\n"
           "}\n"
           "*move*\n{\n}\n";
}

void SceneLines(benchmark::State& state)
{
    std::string scene = loopScene();
    long lines = 0;
    for (auto _ : state) {
        replayLoad("", "", nullptr);
        resetNewGame();
        event.type = SDL_NOEVENT;
        script(scene.c_str());
        // Per pass: the while line, flag+, para2, if, its branch, }else{, the skipped line,
        // }, para1 and the closing }.
        lines += 10000L * 10;
    }
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
}

void ResumeRecord(benchmark::State& state)
{
    static unsigned char record[kResumeRecord];
    static SaveData data;
    for (auto _ : state) {
        int length = encodeRecord(1, record);
        benchmark::DoNotOptimize(recordValid(record, length, kResumeRecord));
        decodeRecord(record, 3, &data);
    }
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}

// ---- Whole runs of the driver -------------------------------------------------------------------

struct ChildRun {
    double seconds;
    long peakKiB;
};

pid_t startDriver(const std::string& input)
{
    pid_t child = fork();
    if (child == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::string game = kSource + "/game";
        execl(TESSARC_REPLAY, TESSARC_REPLAY, "--dir", game.c_str(), input.c_str(), nullptr);
        _exit(127);
    }
    return child;
}

ChildRun runDriver(const std::string& input)
{
    auto started = std::chrono::steady_clock::now();
    pid_t child = startDriver(input);
    int status;
    struct rusage usage;
    wait4(child, &status, 0, &usage);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return {seconds, usage.ru_maxrss};
}

// From process start to the first title frame: the input's first action is a shot, taken as
// soon as the title waits for the player, right after its first frame; the clock stops when
// the picture appears on disk.
void StartUp(benchmark::State& state)
{
    const std::string input = "/tmp/tessarc-bench-startup.txt", shot = "/tmp/tessarc-bench-first.bmp";
    if (std::FILE* f = std::fopen(input.c_str(), "w")) {
        std::fprintf(f, "shot %s\nwait 100000\n", shot.c_str());
        std::fclose(f);
    }
    for (auto _ : state) {
        std::remove(shot.c_str());
        auto started = std::chrono::steady_clock::now();
        pid_t child = startDriver(input);
        while (access(shot.c_str(), F_OK) != 0) usleep(200);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

void PlaythroughMemory(benchmark::State& state)
{
    long peak = 0;
    for (auto _ : state) {
        ChildRun run = runDriver(kSource + "/tests/playthrough/true_ending.txt");
        state.SetIterationTime(run.seconds);
        if (run.peakKiB > peak) peak = run.peakKiB;
    }
    state.counters["peak_MiB"] = peak / 1024.0;
}

// ---- The checker ------------------------------------------------------------------------------

// A game of 500 scenes of 100 lines each, made once in a temporary folder: messages with
// markup, conditions, loops, choices and a move list in every scene, the scenes in a ring.
std::string generatedGame()
{
    static std::string dir;
    if (!dir.empty()) return dir;
    char pattern[] = "/tmp/tessarc-bench-game-XXXXXX";
    if (!mkdtemp(pattern)) return "";
    dir = pattern;
    for (const char* folder : {"/script", "/bg", "/bgm", "/se"}) mkdir((dir + folder).c_str(), 0755);
    auto write = [](const std::string& path, const std::string& text) {
        if (std::FILE* f = std::fopen(path.c_str(), "w")) {
            std::fputs(text.c_str(), f);
            std::fclose(f);
        }
    };
    std::string items;
    for (int i = 0; i < 70; ++i) items += "品物" + std::to_string(i) + "\n";
    write(dir + "/script/itemlist.txt", items);
    write(dir + "/bg/shore.jpg", "");
    write(dir + "/bgm/forest.ogg", "");
    write(dir + "/se/bell.wav", "");
    const int kScenes = 500, kLines = 100;
    std::vector<std::string> names = {"start"};
    for (int i = 1; i < kScenes; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "%c%03d", 'A' + i / 100, i % 100 + 1);
        names.push_back(name);
    }
    for (int k = 0; k < kScenes; ++k) {
        const std::string next = names[(k + 1) % kScenes], back = names[(k + kScenes - 1) % kScenes];
        const std::string f = std::to_string(k % 2000), g = std::to_string((k + kScenes - 1) % 2000);
        std::vector<std::string> tail = {"pick {", "進む moveto " + next, "戻る{", "hp -1", "}", "}", "*search*",
                                         "[砂の上に足跡がある。]", "*move*", "{", "次へ " + next, "前へ " + back, "}"};
        std::vector<std::string> lines = {"// 場面 " + names[k], "bg shore", "bgm forest", "flag+ " + f};
        for (int j = 0; lines.size() + 11 + tail.size() <= kLines; ++j) {
            std::string item = std::to_string(j % 70);
            for (const std::string& line : {"if (flag" + g + " & item" + item + ") {",
                                            std::string("[浜辺を歩いた。<n>波の音が<c blue>遠く</c>聞こえる。]"),
                                            "item+ " + item, std::string("}else{"), std::string("[何もない。]"),
                                            std::string("}"), std::string("para1 = 0"),
                                            std::string("while (para1 < 2) {"), std::string("para1 +1"),
                                            std::string("se bell"), std::string("}")})
                lines.push_back(line);
        }
        while (lines.size() + tail.size() < kLines) lines.push_back("// 余白");
        lines.insert(lines.end(), tail.begin(), tail.end());
        std::string text;
        for (const std::string& line : lines) text += line + "\n";
        write(dir + "/script/" + names[k] + ".txt", text);
    }
    return dir;
}

// One run of tessarc-check over a game folder, by the wall clock, as an author runs it.
void checkerRun(benchmark::State& state, const std::string& dir)
{
    for (auto _ : state) {
        auto started = std::chrono::steady_clock::now();
        pid_t child = fork();
        if (child == 0) {
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execl(TESSARC_CHECK, TESSARC_CHECK, "--dir", dir.c_str(), nullptr);
            _exit(127);
        }
        waitpid(child, nullptr, 0);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    }
}

void CheckBundledGame(benchmark::State& state) { checkerRun(state, kSource + "/game"); }

void CheckGeneratedGame(benchmark::State& state) { checkerRun(state, generatedGame()); }

// ---- The search of every path ----------------------------------------------------------------

// One whole search of the bundled game on two runners, as tessarc-explore reports it: its time,
// the states it went through each second, its memory at most (every process together) and
// whether it ended with nothing left and no fatal error.
void ExploreBundledGame(benchmark::State& state)
{
    char out[] = "/tmp/tessarc-bench-explore-XXXXXX";
    if (!mkdtemp(out)) {
        state.SkipWithError("no folder for the search's inputs");
        return;
    }
    std::string command = std::string("'") + TESSARC_EXPLORE + "' --dir '" + kSource + "/game' --jobs 2 --json --out '" +
                          out + "' 2>/dev/null";
    for (auto _ : state) {
        std::string report;
        if (std::FILE* pipe = popen(command.c_str(), "r")) {
            char block[4096];
            for (size_t got; (got = std::fread(block, 1, sizeof block, pipe)) > 0;) report.append(block, got);
            pclose(pipe);
        }
        nlohmann::json figures = nlohmann::json::parse(report, nullptr, false);
        if (!figures.is_object()) {
            state.SkipWithError("tessarc-explore gave no report");
            break;
        }
        int fatal = 0;
        for (const auto& finding : figures["findings"]) fatal += finding["kind"] == "error";
        state.SetIterationTime(figures["seconds"].get<double>());
        state.counters["states/s"] = figures["statesPerSecond"].get<double>();
        state.counters["states"] = figures["states"].get<double>();
        state.counters["peak_MiB"] = figures["peakMemoryMiB"].get<double>();
        state.counters["complete"] = figures["complete"].get<bool>() && fatal == 0 ? 1 : 0;
    }
    std::filesystem::remove_all(out);
}

// ---- The report -------------------------------------------------------------------------------

struct Figure {
    double seconds;        // per iteration, in the fastest repetition
    std::map<std::string, double> counters;
};
std::map<std::string, Figure> figures;

// Each figure is the fastest of its repetitions: on a shared machine, bursts of other work only
// ever slow a run down, so the fastest is the closest to what the code itself costs. Work done
// in this process is timed by the processor time it takes, which waiting for a busy machine's
// cores does not stretch; whole runs of another program by the wall clock.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            const std::string& name = run.run_name.function_name;
            bool wholeRun = name == "StartUp" || name == "PlaythroughMemory" || name.rfind("Check", 0) == 0 ||
                        name.rfind("Explore", 0) == 0;
            double seconds = (wholeRun ? run.real_accumulated_time : run.cpu_accumulated_time) /
                             static_cast<double>(run.iterations);
            auto known = figures.find(run.run_name.function_name);
            if (known != figures.end() && known->second.seconds <= seconds) continue;
            Figure& figure = figures[run.run_name.function_name];
            figure.seconds = seconds;
            for (const auto& [name, counter] : run.counters) figure.counters[name] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

bool measured(const std::string& name) { return figures.count(name) != 0; }

// A frame's cost as a multiple of the base (one full-screen blit plus one flip), against its
// target (0: none set).
void ratioRow(const char* label, const std::string& name, double frames, double target)
{
    double reference = figures["Reference"].seconds + figures["Flip"].seconds;
    if (!measured(name) || !measured("Reference") || !measured("Flip")) {
        std::printf("%-36s %12s\n", label, "not measured");
        return;
    }
    double seconds = figures[name].seconds / frames, ratio = seconds / reference;
    if (target == 0) {
        std::printf("%-36s %9.3f ms %9.2fx %12s\n", label, seconds * 1e3, ratio, "-");
        return;
    }
    std::printf("%-36s %9.3f ms %9.2fx %11.0fx  %s\n", label, seconds * 1e3, ratio, target,
                ratio <= target ? "yes" : "NO");
}

void limitRow(const char* label, double value, const char* unit, double target)
{
    std::printf("%-36s %9.1f %-4s %12s %6.0f %-4s %s\n", label, value, unit, "", target, unit,
                value < target ? "yes" : "NO");
}

void limitRow(const char* label, const std::string& name, double (*valueOf)(const Figure&),
              const char* unit, double target)
{
    if (!measured(name)) {
        std::printf("%-36s %12s\n", label, "not measured");
        return;
    }
    limitRow(label, valueOf(figures[name]), unit, target);
}

void liveRows(const LiveFigures& live)
{
    std::printf("live tessarc under Xvfb, default way to the screen (SDL_FRAMEBUFFER_ACCELERATION=%s, "
                "SDL_RENDER_DRIVER=%s):\n",
                std::getenv("SDL_FRAMEBUFFER_ACCELERATION") ? std::getenv("SDL_FRAMEBUFFER_ACCELERATION") : "0",
                std::getenv("SDL_RENDER_DRIVER") ? std::getenv("SDL_RENDER_DRIVER") : "software");
    if (live.firstFrameMs <= 0) {
        std::printf("  not measured: %s\n", live.error.c_str());
        return;
    }
    limitRow("  launch to the first title frame", live.firstFrameMs, "ms", 135);
    std::printf("%-36s %9.1f ms   (load average %.1f on %ld cores)\n", "    processor time used by then",
                live.firstFrameCpuMs, live.loadAverage, sysconf(_SC_NPROCESSORS_ONLN));
    if (!live.ok && live.titlePeakMiB == 0) {
        std::printf("  the rest not measured: %s\n", live.error.c_str());
        return;
    }
    limitRow("  peak memory at the title", live.titlePeakMiB, "MiB", 40);
    limitRow("  title, music playing: one core busy", live.titleCpuPercent, "%", 5);
    if (live.ok)
        limitRow("  text page, waiting: one core busy", live.pageCpuPercent, "%", 1);
    else
        std::printf("  text page not measured: %s\n", live.error.c_str());
}

void pageSaveRows(const PageSaveFigures& pages)
{
    std::printf("page saves, one scene of 2000 pages with 200 picks:\n");
    if (!pages.error.empty()) {
        std::printf("  not measured: %s\n", pages.error.c_str());
        return;
    }
    limitRow("  page save on page 2000 loaded", pages.loadMs, "ms", 100);
    limitRow("  one step back there", pages.stepBackMs, "ms", 100);
    limitRow("  30 page saves + 10 scenes of steps", pages.memoryMiB, "MiB", 8);
}

void printSummary(const LiveFigures& live, const PageSaveFigures& pages)
{
    std::printf("\n%-36s %12s %10s %12s  %s\n", "figure", "value", "ratio", "target", "met");
    if (measured("Reference") && measured("Flip"))
        std::printf("%-36s %9.3f ms %10s\n", "base: full-screen blit + flip",
                    (figures["Reference"].seconds + figures["Flip"].seconds) * 1e3, "1x");
    if (measured("Reference"))
        std::printf("%-36s %9.3f ms\n", "  of which the blit", figures["Reference"].seconds * 1e3);
    if (measured("Flip"))
        std::printf("%-36s %9.3f ms\n", "  of which the flip", figures["Flip"].seconds * 1e3);
    ratioRow("fade frame", "FadeFrame", 7, 2);
    ratioRow("shake frame", "ShakeFrame", 8, 2);
    ratioRow("black_out frame", "BlackOutFrame", 1, 2);
    ratioRow("title frame", "TitleFrame", 1, 2);
    ratioRow("message page", "MessagePage", 1, 3);
    ratioRow("choice list", "ChoiceList", 1, 0);
    ratioRow("field menu", "FieldMenu", 1, 0);
    ratioRow("slot screen", "SlotScreen", 1, 0);
    if (measured("SceneLines"))
        std::printf("%-36s %12.0f /s\n", "scene lines", figures["SceneLines"].counters["lines/s"]);
    if (measured("ResumeRecord"))
        std::printf("%-36s %12.0f /s\n", "resume record encoded and decoded",
                    figures["ResumeRecord"].counters["records/s"]);
    limitRow("headless start-up (tessarc-replay)", "StartUp",
             [](const Figure& f) { return f.seconds * 1e3; }, "ms", 150);
    limitRow("checker: the bundled game", "CheckBundledGame",
             [](const Figure& f) { return f.seconds * 1e3; }, "ms", 50);
    limitRow("checker: 500 scenes, 50,000 lines", "CheckGeneratedGame",
             [](const Figure& f) { return f.seconds * 1e3; }, "ms", 2000);
    if (measured("ExploreBundledGame")) {
        const Figure& explore = figures["ExploreBundledGame"];
        limitRow("explore: the bundled game, 2 jobs", explore.seconds, "s", 60);
        std::printf("%-36s %12.0f /s   (%.0f states)\n", "  states per second", explore.counters.at("states/s"),
                    explore.counters.at("states"));
        limitRow("  peak memory, every process", explore.counters.at("peak_MiB"), "MiB", 500);
        std::printf("%-36s %12s %10s %12s  %s\n", "  complete, no fatal error", explore.counters.at("complete") ? "yes" : "no",
                    "", "yes", explore.counters.at("complete") ? "yes" : "NO");
    } else {
        std::printf("%-36s %12s\n", "explore: the bundled game, 2 jobs", "not measured");
    }
    limitRow("peak memory over a playthrough", "PlaythroughMemory",
             [](const Figure& f) { return f.counters.at("peak_MiB"); }, "MiB", 40);
    pageSaveRows(pages);
    liveRows(live);
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (chdir((kSource + "/game").c_str()) != 0) return 1;
    replayLoad("", "", nullptr);
    init();
    e = 1;
    // The memory that page saves and steps back add, measured in a process of its own.
    if (argc > 1 && std::string(argv[1]) == kPageSaveMemory) {
        std::printf("%.2f\n", pageSaveMemory());
        quiting();
        return 0;
    }

    // The frames and the interpreter are measured five times over, each time briefly.
    const int kRepetitions = 5;
    const double kSeconds = 0.2;
    const std::pair<const char*, void (*)(benchmark::State&)> quick[] = {
        {"Reference", Reference},   {"Flip", Flip},           {"FadeFrame", FadeFrame},
        {"ShakeFrame", ShakeFrame}, {"BlackOutFrame", BlackOutFrame}, {"TitleFrame", TitleFrame},
        {"MessagePage", MessagePage}, {"ChoiceList", ChoiceList}, {"FieldMenu", FieldMenu},
        {"SlotScreen", SlotScreen}, {"ResumeRecord", ResumeRecord},
    };
    // In rounds, each round measuring every one in turn: a frame's ratio then compares the
    // fastest of runs spread over the same stretch of time as the base's, whatever else the
    // machine was doing meanwhile.
    for (int round = 0; round < kRepetitions; ++round)
        for (const auto& [name, function] : quick) benchmark::RegisterBenchmark(name, function)->MinTime(kSeconds);
    benchmark::RegisterBenchmark("SceneLines", SceneLines)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
    benchmark::RegisterBenchmark("StartUp", StartUp)->UseManualTime()->Iterations(10)->Repetitions(3)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("CheckBundledGame", CheckBundledGame)->UseManualTime()->Iterations(10)->Repetitions(3)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("CheckGeneratedGame", CheckGeneratedGame)->UseManualTime()->Iterations(3)->Repetitions(3)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ExploreBundledGame", ExploreBundledGame)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("PlaythroughMemory", PlaythroughMemory)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    // The live game: the fastest of five launches, then one stay at the title and a page.
    LiveFigures live = measureLive(TESSARC_LIVE, kSource + "/game", 5);
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) < 0) std::snprintf(self, sizeof self, "%s", argv[0]);
    PageSaveFigures pages = measurePageSaves(self);
    printSummary(live, pages);
    if (!generatedGame().empty()) std::filesystem::remove_all(generatedGame());
    benchmark::Shutdown();
    quiting();
    return 0;
}
