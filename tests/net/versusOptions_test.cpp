// The versus program's online options: each way in, its defaults, and the
// command lines it must turn down with a message.
#include "versus/versusProgram.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool parse(std::vector<const char*> args, versusProgram::options& out, std::string& error) {
    args.insert(args.begin(), "versus");
    return versusProgram::parse(static_cast<int>(args.size()), const_cast<char**>(args.data()), out,
                                error);
}

} // namespace

TEST(VersusOptions, EachWayOnlineWithItsDefaults) {
    versusProgram::options o;
    std::string error;
    ASSERT_TRUE(parse({"--host"}, o, error)) << error;
    EXPECT_TRUE(o.host);
    EXPECT_EQ(o.port, 7707);
    EXPECT_EQ(o.delay, 2u);
    EXPECT_TRUE(o.online());

    ASSERT_TRUE(parse({"--host", "9000", "--delay", "0", "--seed", "5"}, o, error)) << error;
    EXPECT_EQ(o.port, 9000);
    EXPECT_EQ(o.delay, 0u);
    EXPECT_EQ(o.seed, 5u);
    // The port is optional: an option right after --host is not one.
    ASSERT_TRUE(parse({"--host", "--delay", "8"}, o, error)) << error;
    EXPECT_EQ(o.port, 7707);
    EXPECT_EQ(o.delay, 8u);

    ASSERT_TRUE(parse({"--join", "127.0.0.1:9000", "--autoplay", "3", "--impair", "4"}, o, error));
    EXPECT_EQ(o.join, "127.0.0.1:9000");
    EXPECT_EQ(o.autoplay, 3u);
    EXPECT_EQ(o.impair, 4u);
    EXPECT_FALSE(o.host);

    ASSERT_TRUE(parse({"--join-bridge", "7708"}, o, error)) << error;
    EXPECT_EQ(o.bridgePort, 7708);
    EXPECT_TRUE(o.online());

    ASSERT_TRUE(parse({"--seed", "3"}, o, error)) << error;
    EXPECT_FALSE(o.online());
}

TEST(VersusOptions, CommandLinesTurnedDownWithAMessage) {
    const std::vector<std::vector<const char*>> bad = {
        {"--host", "0"},
        {"--host", "65536"},
        {"--join"},
        {"--join", "--host"},
        {"--join-bridge"},
        {"--join-bridge", "0"},
        {"--host", "--delay", "9"},
        {"--host", "--autoplay", "0"},
        {"--host", "--join", "x"},
        {"--join", "x", "--join-bridge", "7"},
        {"--delay", "3"},
        {"--impair", "2"},
        {"--host", "--record", "match.replay"},
    };
    for (const auto& args : bad) {
        versusProgram::options o;
        std::string error;
        EXPECT_FALSE(parse(args, o, error)) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_FALSE(error.empty());
    }
}
