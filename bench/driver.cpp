// Runs the benchmark rounds and prints the table: the quiz and the editor against
// the yardstick (a bare Qt window) for start-up, memory and idle CPU, and their file
// work against bare system calls. Linux only: it reads /proc and starts the
// programs on the X display it is given, with the probe preloaded.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Options {
    std::string display;
    std::string bin;   // the programs' folder
    std::string bench; // the yardstick, the probe and bench_files
    std::string work;  // a folder on disk for the probes' reports and the saves
    int rounds = 20;
    int idleSeconds = 20;
};

long long now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A program started with the probe preloaded; its reports go to its own file.
struct Run {
    pid_t pid = -1;
    std::string report;
};

Run start(const Options& o, const std::string& program, const std::string& mode,
          const std::string& name) {
    Run run;
    run.report = o.work + "/" + name + ".probe";
    std::remove(run.report.c_str());
    const auto replaced = [](const std::string& entry) {
        for (const char* name : {"DISPLAY=", "LD_PRELOAD=", "QT_QPA_PLATFORM=", "QO_PROBE"}) {
            if (entry.rfind(name, 0) == 0)
                return true;
        }
        return false;
    };
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (!replaced(*e))
            env.emplace_back(*e);
    }
    env.push_back("DISPLAY=" + o.display);
    env.push_back("QT_QPA_PLATFORM=xcb");
    env.push_back("LD_PRELOAD=" + o.bench + "/libqo_probe.so");
    env.push_back("QO_PROBE=" + mode);
    env.push_back("QO_PROBE_OUT=" + run.report);
    std::vector<char*> envp;
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string path = program;
    char* argv[] = {path.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&run.pid, path.c_str(), &actions, nullptr, argv, envp.data()) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// The words of the probe's report line that starts with the key; empty on time-out.
std::vector<std::string> awaitReport(const Run& run, const std::string& key, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 5) {
        std::istringstream lines(readFile(run.report));
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(key + " ", 0) == 0) {
                std::istringstream words(line);
                std::vector<std::string> list;
                for (std::string w; words >> w;)
                    list.push_back(w);
                return list;
            }
        }
        sleepMs(5);
    }
    return {};
}

void stop(Run& run) {
    if (run.pid > 0) {
        kill(run.pid, SIGKILL);
        waitpid(run.pid, nullptr, 0);
        run.pid = -1;
    }
}

// Time on a processor of all the process's threads, in nanoseconds.
long long cpuTime(pid_t pid) {
    long long total = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    if (DIR* dir = opendir(tasks.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            std::istringstream stat(readFile(tasks + "/" + entry->d_name + "/schedstat"));
            long long running = 0;
            stat >> running;
            total += running;
        }
        closedir(dir);
    }
    return total;
}

// Milliseconds from the start of the program to its first painted window.
double startToPaint(const Options& o, const std::string& program, const std::string& name) {
    const long long started = now();
    Run run = start(o, program, "paint", name);
    const std::vector<std::string> report = awaitReport(run, "paint", 20000);
    waitpid(run.pid, nullptr, 0);
    if (report.size() < 2) {
        std::fprintf(stderr, "%s: no first paint reported\n", program.c_str());
        std::exit(1);
    }
    return (std::stoll(report[1]) - started) / 1e6;
}

struct Memory {
    double peakMiB = 0;
    double privateMiB = 0;
};

Memory memoryOf(const std::vector<std::string>& ready) {
    // "ready TIME peak KB private KB"
    Memory m;
    if (ready.size() >= 6) {
        m.peakMiB = std::stod(ready[3]) / 1024;
        m.privateMiB = std::stod(ready[5]) / 1024;
    }
    return m;
}

struct Series {
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    double min() const { return *std::min_element(values.begin(), values.end()); }
    double median() const {
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
};

std::string machine() {
    std::string cpu = "unknown processor";
    std::istringstream info(readFile("/proc/cpuinfo"));
    for (std::string line; std::getline(info, line);) {
        if (line.rfind("model name", 0) == 0) {
            cpu = line.substr(line.find(':') + 2);
            break;
        }
    }
    utsname name{};
    uname(&name);
    long memKb = 0;
    std::istringstream meminfo(readFile("/proc/meminfo"));
    std::string key;
    meminfo >> key >> memKb;
    char text[512];
    std::snprintf(text, sizeof text, "%s, %ld cores, %.0f GiB, Linux %s", cpu.c_str(),
                  sysconf(_SC_NPROCESSORS_ONLN), memKb / 1048576.0, name.release);
    return text;
}

// One line of the table: our minimum and median, the baseline's median, the ratio
// of the medians (which the goal judges) and, for a noisy machine, of the minimums.
void row(const char* what, const Series& ours, const Series* base, const char* unit,
         const char* goal, double goalValue, bool ratioGoal) {
    const double ratio = base ? ours.median() / base->median() : 0;
    const double judged = ratioGoal ? ratio : ours.median();
    char baseText[32] = "";
    char ratioText[16] = "";
    char minRatioText[16] = "";
    if (base) {
        std::snprintf(baseText, sizeof baseText, "%.3g", base->median());
        std::snprintf(ratioText, sizeof ratioText, "%.2fx", ratio);
        std::snprintf(minRatioText, sizeof minRatioText, "%.2fx", ours.min() / base->min());
    }
    std::printf("| %-46s | %-4s | %9.3g | %9.3g | %9s | %6s | %9s | %-8s | %-7s |\n", what, unit,
                ours.min(), ours.median(), baseText, ratioText, minRatioText, goal,
                *goal == 0            ? ""
                : judged <= goalValue ? "met"
                                      : "not met");
}

} // namespace

int main(int argc, char* argv[]) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--display")
            o.display = value;
        else if (key == "--bin")
            o.bin = value;
        else if (key == "--bench")
            o.bench = value;
        else if (key == "--work")
            o.work = value;
        else if (key == "--rounds")
            o.rounds = std::stoi(value);
        else if (key == "--idle-seconds")
            o.idleSeconds = std::stoi(value);
    }
    if (o.display.empty() || o.bin.empty() || o.bench.empty() || o.work.empty()) {
        std::fprintf(stderr, "usage: bench_driver --display :N --bin DIR --bench DIR --work DIR "
                             "[--rounds N] [--idle-seconds S]\n");
        return 2;
    }
    const std::string kviz = o.bin + "/kviz";
    const std::string editor = o.bin + "/editor-pitanja";
    const std::string yardstick = o.bench + "/bench_yardstick";

    std::printf("%d rounds, taking turns; idle CPU over %d s; %s\n", o.rounds, o.idleSeconds,
                machine().c_str());
    std::fflush(stdout);

    Series paintYard, paintSplash, paintEditor;
    Series peakYard, peakQuiz, peakEditor, privYard, privQuiz, privEditor;
    Series idleSlide, idleMenu;
    for (int round = 0; round < o.rounds; ++round) {
        // Start-up, each program in turn, the order turning with the rounds.
        for (int k = 0; k < 3; ++k) {
            switch ((round + k) % 3) {
            case 0:
                paintYard.add(startToPaint(o, yardstick, "yardstick"));
                break;
            case 1:
                paintSplash.add(startToPaint(o, kviz, "kviz"));
                break;
            default:
                paintEditor.add(startToPaint(o, editor, "editor"));
                break;
            }
        }

        // Memory and idle CPU: the four programs brought to their states side by side.
        Run yard = start(o, yardstick, "shown", "yardstick-ready");
        Run quiz = start(o, kviz, "quiz-end", "quiz-ready");
        Run menu = start(o, kviz, "menu", "menu-ready");
        Run edit = start(o, editor, "shown", "editor-ready");
        const auto yardReady = awaitReport(yard, "ready", 20000);
        const auto quizReady = awaitReport(quiz, "ready", 30000);
        const auto menuReady = awaitReport(menu, "ready", 20000);
        const auto editReady = awaitReport(edit, "ready", 20000);
        if (yardReady.empty() || quizReady.empty() || menuReady.empty() || editReady.empty()) {
            std::fprintf(stderr, "a program did not reach its state (round %d)\n", round + 1);
            for (Run* run : {&yard, &quiz, &menu, &edit})
                stop(*run);
            return 1;
        }
        const Memory y = memoryOf(yardReady), q = memoryOf(quizReady), e = memoryOf(editReady);
        peakYard.add(y.peakMiB);
        peakQuiz.add(q.peakMiB);
        peakEditor.add(e.peakMiB);
        privYard.add(y.privateMiB);
        privQuiz.add(q.privateMiB);
        privEditor.add(e.privateMiB);
        sleepMs(500); // let the last repaints settle
        const long long quizCpu = cpuTime(quiz.pid), menuCpu = cpuTime(menu.pid);
        const long long from = now();
        sleepMs(o.idleSeconds * 1000);
        const double seconds = (now() - from) / 1e9;
        idleSlide.add((cpuTime(quiz.pid) - quizCpu) / 1e9 / seconds * 100);
        idleMenu.add((cpuTime(menu.pid) - menuCpu) / 1e9 / seconds * 100);
        for (Run* run : {&yard, &quiz, &menu, &edit})
            stop(*run);
        std::fprintf(stderr, "round %d of %d\n", round + 1, o.rounds);
    }

    // The file work, in rounds of its own.
    Series save, bareSave, read, bareRead;
    const std::string command =
        o.bench + "/bench_files " + o.work + "/files " + std::to_string(o.rounds) + " 2>/dev/null";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, pipe)) {
            char kind[16];
            long long ours = 0, bare = 0;
            if (std::sscanf(line, "%15s %lld %lld", kind, &ours, &bare) != 3)
                continue;
            if (std::strcmp(kind, "save") == 0) {
                save.add(ours / 1e6);
                bareSave.add(bare / 1e6);
            } else {
                read.add(ours / 1e3);
                bareRead.add(bare / 1e3);
            }
        }
        if (pclose(pipe) != 0 || save.values.empty()) {
            std::fprintf(stderr, "bench_files failed\n");
            return 1;
        }
    }

    std::printf("\n| %-46s | %-4s | %9s | %9s | %9s | %6s | %9s | %-8s | %-7s |\n", "measure",
                "unit", "min", "median", "baseline", "ratio", "min ratio", "goal", "");
    std::printf("|%s|------|-----------|-----------|-----------|--------|-----------|----------|"
                "---------|\n",
                std::string(48, '-').c_str());
    row("start to first paint: yardstick", paintYard, nullptr, "ms", "", 1e9, false);
    row("start to first paint: quiz splash", paintSplash, &paintYard, "ms", "<= 1.0x", 1.0, true);
    row("start to first paint: editor", paintEditor, &paintYard, "ms", "<= 1.0x", 1.0, true);
    row("peak resident memory: yardstick", peakYard, nullptr, "MiB", "", 1e9, false);
    row("peak resident memory: quiz", peakQuiz, &peakYard, "MiB", "<= 1.05x", 1.05, true);
    row("peak resident memory: editor", peakEditor, &peakYard, "MiB", "<= 1.05x", 1.05, true);
    row("private memory: yardstick", privYard, nullptr, "MiB", "", 1e9, false);
    row("private memory: quiz", privQuiz, &privYard, "MiB", "<= 1.5x", 1.5, true);
    row("private memory: editor", privEditor, &privYard, "MiB", "<= 1.5x", 1.5, true);
    row("idle CPU after the slide", idleSlide, nullptr, "%", "<= 0.1%", 0.1, false);
    row("idle CPU with the menu open", idleMenu, nullptr, "%", "<= 0.1%", 0.1, false);
    row("save of 21 records (bare: write+fsync+rename)", save, &bareSave, "ms", "<= 1.2x", 1.2,
        true);
    row("question open+read+close (bare: pread)", read, &bareRead, "us", "<= 3x", 3.0, true);
    return 0;
}
