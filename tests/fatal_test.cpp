// The one fatal path: the game ends with exit code 1 after the message and
// the flushed trace; a tool or test can take the message instead.
#include "base/fatal.h"
#include "base/seams.h"
#include "sprite/CSpriteBase.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <iostream>

using namespace testing_support;

TEST(FatalDeathTest, WritesTheMessageFlushesTheTraceAndExitsWithOne) {
    EXPECT_EXIT(
        {
            seams::setTraceStream(&std::cerr);
            seams::trace() << "loading data/Tavro\n";
            fatal::stop("Cannot start: no animations found in data/Tavro/info\n");
        },
        testing::ExitedWithCode(1), "loading data/Tavro\nCannot start: no animations found");
    EXPECT_EXIT(
        {
            errno = ENOENT;
            fatal::stopWithSystemError("opendir failure");
        },
        testing::ExitedWithCode(1), "^opendir failure: No such file or directory\n$");
}

TEST(Fatal, AHandlerTakesTheLoadersReasonInsideTheProcess) {
    TempDir dir;
    dir.write("g/info",
              "FILES: 1\njunk.bmp 5 -1 0 0\n0 0\n0 0 0 0\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 "
              "0\n0\nnone\n");
    dir.write("g/junk.bmp", "this is no bitmap");
    HeadlessScreen screen;
    CatchFatalStops catcher;
    TraceCapture trace;

    CSpriteBase missing;
    try {
        missing.loadFromResource((dir / "nowhere").c_str(), "a.bmp");
        FAIL() << "a missing folder went unnoticed";
    } catch (const FatalStop& stop) {
        EXPECT_EQ("opendir failure: No such file or directory\n", stop.message);
        EXPECT_EQ(fatal::Channel::errors, stop.channel);
    }

    CSpriteBase junk;
    try {
        junk.initR((dir / "g").c_str());
        FAIL() << "a bitmap that is no bitmap went unnoticed";
    } catch (const FatalStop& stop) {
        EXPECT_EQ(0u, stop.message.rfind("Unable to load bitmap: ", 0)) << stop.message;
        EXPECT_EQ(fatal::Channel::trace, stop.channel);
    }
}
