// A pass with the particle list at its cap, beside an idle pass (no
// particle, nobody pressing a key).  The spark
// is made to multiply (each one that dies leaves two), as a careless
// particle pack would have it: the list fills to its cap and stays there,
// and in every pass some sparks die, their follow-ups take the places they
// leave, and the rest are refused.  Both figures are whole passes as the
// desktop plays them (the pass, then its frame drawn and sent), on the
// benchmark's clock of 1 ms a pass, with the trace counted, not written.
#include "sections.h"

#include "base/seams.h"
#include "game/main.h"
#include "particle/particle.h"
#include "particle/particleInfo.h"

#include <cstdio>
#include <streambuf>
#include <string>
#include <vector>

namespace bench {

namespace {

Uint32 g_tick = 0;
Uint32 benchTicks() {
    return g_tick;
}

// Counts the bytes written to it and keeps none.
class countingBuffer : public std::streambuf {
  public:
    long long bytes = 0;

  protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) ++bytes;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes += n;
        return n;
    }
};

void pass(gameSession& game) {
    ++g_tick;
    const passControls idle[2];
    updateGame(game, idle);
    DrawScene();
}

struct passFigures {
    double medianUs = 0;
    double particles = 0;  // mean live particles
    double traceBytes = 0; // mean trace bytes a pass
};

passFigures timePasses(gameSession& game, int passes, countingBuffer& trace) {
    std::vector<double> times;
    times.reserve(static_cast<size_t>(passes));
    const long long traceBefore = trace.bytes;
    double particles = 0;
    for (int i = 0; i < passes; ++i) {
        const auto start = clock_type::now();
        pass(game);
        times.push_back(microseconds(clock_type::now() - start));
        particles += pList.size();
    }
    passFigures figures;
    figures.medianUs = median(times);
    figures.particles = particles / passes;
    figures.traceBytes = static_cast<double>(trace.bytes - traceBefore) / passes;
    return figures;
}

// While alive, every spark that dies leaves two.  The two are placed about
// where the spark was (a follow-up's offsets count from the dying spark's
// corner), and a spark lives 30 ms, less than its first frame shows, so
// that the sparks stay on the stage (leaving it would end them without
// follow-ups) and about 13 die in every pass.
class multiplyingSpark {
  public:
    explicit multiplyingSpark(particleInfo& spark)
        : spark_(spark), death_(spark.eventParts[OnDeath]), count_(spark.eventCount[OnDeath]),
          lifetime_(spark.lifetime) {
        spark.eventParts[OnDeath] = {"spark 5 12", "spark 5 12"};
        spark.eventCount[OnDeath] = 2;
        spark.lifetime = 30;
    }
    ~multiplyingSpark() {
        spark_.lifetime = lifetime_;
        spark_.eventParts[OnDeath] = death_;
        spark_.eventCount[OnDeath] = count_;
    }
    multiplyingSpark(const multiplyingSpark&) = delete;
    multiplyingSpark& operator=(const multiplyingSpark&) = delete;

  private:
    particleInfo& spark_;
    std::vector<std::string> death_;
    int count_;
    int lifetime_;
};

// One spark thrown mid-stage, facing right, and passes until the list is
// full; the number of those passes.
int fillTheList(gameSession& game) {
    const int xBefore = vikings1.xPos;
    const bool facingBefore = vikings1.facingRight;
    vikings1.xPos = 400;
    vikings1.facingRight = true;
    pList.addParticle("spark 0 40", &vikings1, nullptr, &game.particleDefs, screen,
                      static_cast<int>(g_tick));
    vikings1.xPos = xBefore;
    vikings1.facingRight = facingBefore;
    int passes = 0;
    while (pList.size() < particleList::maxParticles && passes < 20000) {
        pass(game);
        ++passes;
    }
    return passes;
}

} // namespace

void particleCapSection(libraryRow& row) {
    gameSession* game = loadedGame();
    particleInfo* spark = game ? game->particleDefs.findParticle("spark") : nullptr;
    if (!spark) return;
    countingBuffer counted;
    std::ostream trace(&counted);
    std::ostream* traceBefore = &seams::trace();
    seams::setTraceStream(&trace);
    seams::setTickSource(benchTicks);
    g_tick = 200000;

    pList.clear();
    const passFigures idle = timePasses(*game, 2000, counted);
    // The passes are timed once the list has been full for a while.
    int warmUp = 0;
    passFigures cap;
    {
        multiplyingSpark multiplying(*spark);
        warmUp = fillTheList(*game);
        for (int i = 0; i < 1000; ++i)
            pass(*game);
        cap = timePasses(*game, 2000, counted);
    }
    pList.clear();
    seams::setTickSource(nullptr);
    seams::setTraceStream(traceBefore);

    row.idlePass = idle.medianUs;
    row.capPass = cap.medianUs;
    std::printf("idle pass, median                 %.2f us (%.1f particles, %.0f trace bytes a "
                "pass)\n",
                idle.medianUs, idle.particles, idle.traceBytes);
    std::printf("pass at the particle cap, median  %.2f us (%.1f particles, %.0f trace bytes a "
                "pass; full after %d passes)   cap / idle  %.2f\n",
                cap.medianUs, cap.particles, cap.traceBytes, warmUp,
                idle.medianUs > 0 ? cap.medianUs / idle.medianUs : 0.0);
}

} // namespace bench
