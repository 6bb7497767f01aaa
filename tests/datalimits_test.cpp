// Names read from data stay inside the folder they are looked up in.
#include "base/dataLimits.h"

#include <gtest/gtest.h>

TEST(DataLimits, NamesFromDataStayInsideTheirFolder) {
    for (const char* inside : {"punch", "f00.bmp", "sub/f.bmp", "..x", "x..", "a/...", "", "a/./b"})
        EXPECT_TRUE(dataLimits::nameStaysInside(inside)) << inside;
    for (const char* outside : {"..", "../punch", "a/../../b", "sub/..", "/etc/passwd", "\\server",
                                "..\\x", "a\\..\\..\\b"})
        EXPECT_FALSE(dataLimits::nameStaysInside(outside)) << outside;
}
