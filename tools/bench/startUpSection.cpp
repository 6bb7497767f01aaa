// Start-up: exec to the first frame, in fresh processes.
#include "sections.h"

#include "game/main.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {

namespace {

// One start of the game, in milliseconds from exec: to main (the system
// loading the program and its libraries) and to the first frame drawn;
// the processor time and the page faults of the whole child.
struct startUpTimes {
    double toMain = 0, toFirstFrame = 0, cpuMs = 0, faults = 0;
};

// The benchmark starts itself as the game (its trace going nowhere) and reads
// back when main began and when the first frame was drawn.  False when the
// child could not be run.  The processor time covers the child's whole run
// (it ends right after the first frame); a busy machine inflates it less than
// the wall time.
bool execToFirstFrame(const char* self, startUpTimes& out) {
    std::fflush(stdout); // or the child's freopen prints what is buffered again
    int fds[2];
    if (pipe(fds) != 0) return false;
    long long start = nowNs();
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
            std::_Exit(1);
        std::string fd = std::to_string(fds[1]);
        execl(self, self, "--first-frame", fd.c_str(), static_cast<char*>(nullptr));
        std::_Exit(1);
    }
    close(fds[1]);
    long long times[2] = {0, 0};
    ssize_t got = read(fds[0], times, sizeof times);
    close(fds[0]);
    int status = 0;
    struct rusage used {};
    wait4(child, &status, 0, &used);
    if (got != sizeof times || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    out.toMain = (times[0] - start) / 1e6;
    out.toFirstFrame = (times[1] - start) / 1e6;
    out.cpuMs = (used.ru_utime.tv_sec + used.ru_stime.tv_sec) * 1e3 +
                (used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e3;
    out.faults = static_cast<double>(used.ru_minflt + used.ru_majflt);
    return true;
}

double fastest(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

} // namespace

// What the game's main does up to its first frame, then the clock when main
// was entered and the clock now, written to the given descriptor.
int firstFrameChild(int fd, long long mainEntered) {
    sdlInit();
    gameSession session;
    startUp(session);
    runPass(session);
    const long long times[2] = {mainEntered, nowNs()};
    if (write(fd, times, sizeof times) != sizeof times) return 1;
    std::_Exit(0); // the end of the run is not part of the measure
}

void startUpSection(const char* self, long passes, libraryRow& row) {
    const int startUps = passes == 0 ? 31 : 9;
    std::vector<double> firstFrames, toMain, mainToFrame, cpu, faults;
    for (int i = 0; i < startUps; ++i) {
        startUpTimes one;
        if (!execToFirstFrame(self, one)) continue;
        firstFrames.push_back(one.toFirstFrame);
        toMain.push_back(one.toMain);
        mainToFrame.push_back(one.toFirstFrame - one.toMain);
        cpu.push_back(one.cpuMs);
        faults.push_back(one.faults);
    }
    row.mainToFirstFrameMs = median(mainToFrame);
    std::printf("exec to first frame, median of %zu %.1f ms (fastest %.1f; CPU time %.1f ms)\n",
                firstFrames.size(), median(firstFrames), fastest(firstFrames), median(cpu));
    std::printf("  exec to main (loading libraries) %.1f ms (fastest %.1f)\n", median(toMain),
                fastest(toMain));
    std::printf("  main to first frame             %.1f ms (fastest %.1f)\n", median(mainToFrame),
                fastest(mainToFrame));
    std::printf("  page faults to first frame      %.0f\n", median(faults));
}

} // namespace bench
