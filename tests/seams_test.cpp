// The trace and the error channel show names from data files: a control
// byte in one (an escape sequence that would recolour or clear the
// player's terminal) comes out as \xHH, and everything else as written.
#include "base/escapedText.h"
#include "base/seams.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <sstream>

using testing_support::TraceCapture;

TEST(TraceSeam, ShowsControlBytesEscapedAndEverythingElseAsWritten) {
    TraceCapture capture;
    seams::trace() << "Lets Rock!: wa\x1b[2Jlk" << '\n';
    seams::trace() << "tab\there, bell\a, delete\x7f, return\r, nul" << std::string(1, '\0')
                   << '\n';
    seams::trace() << "frame " << -12 << ' ' << 3.5 << " caf\xc3\xa9 ~\n";
    seams::trace() << '\x1b';
    seams::errors() << "Could not load \x1b[31mred.wav\n";
    EXPECT_EQ("Lets Rock!: wa\\x1B[2Jlk\n"
              "tab\\x09here, bell\\x07, delete\\x7F, return\\x0D, nul\\x00\n"
              "frame -12 3.5 caf\xc3\xa9 ~\n"
              "\\x1B",
              capture.text());
    EXPECT_EQ("Could not load \\x1B[31mred.wav\n", capture.errors());
}

TEST(TraceSeam, TheStreamTakenBeforeRestoresItsDestination) {
    std::ostringstream first, second;
    seams::setTraceStream(&first);
    std::ostream* before = &seams::trace();
    seams::setTraceStream(&second);
    seams::trace() << "to the second\n";
    seams::setTraceStream(before);
    seams::trace() << "to the first\x01\n";
    seams::trace().flush();
    seams::setTraceStream(nullptr);
    EXPECT_EQ("to the first\\x01\n", first.str());
    EXPECT_EQ("to the second\n", second.str());

    // A stream that drops what it is given stays silent, and the trace
    // keeps working after it.
    std::ostream nowhere(nullptr);
    seams::setTraceStream(&nowhere);
    seams::trace() << "dropped\n";
    EXPECT_TRUE(seams::trace().good());
    seams::setTraceStream(&first);
    seams::trace() << "back\n";
    seams::setTraceStream(nullptr);
    EXPECT_EQ("to the first\\x01\nback\n", first.str());
}

TEST(EscapedText, EscapesOnlyControlBytes) {
    EXPECT_EQ("walk", escapedText::escaped("walk"));
    EXPECT_EQ("\\x1F \\x7F\\x0A\x80\xff", escapedText::escaped("\x1f \x7f\n\x80\xff"));
    EXPECT_FALSE(escapedText::hasControlBytes("caf\xc3\xa9"));
    EXPECT_TRUE(escapedText::hasControlBytes(std::string("a\0b", 3)));
}
