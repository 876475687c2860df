#include <gtest/gtest.h>

#include <sstream>

#include "console/console.h"
#include "console/questions.h"

namespace {

struct Typed {
    std::istringstream in;
    std::ostringstream out, err;
    Console con{in, out, err};
    explicit Typed(const std::string& text) : in(text) {}
};

TEST(ConsoleReadFloat, TakesWhatScanfWouldAndRefusesTheRest) {
    struct Case { std::string input; bool ok; float value; const char* printed; };
    const Case cases[] = {
        {"4\n", true, 4, "? "},
        {"  \n\n  -2.5e1 tail", true, -25, "? "},
        {"0x1p3\n", true, 8, "? "},              // hex floats, as %f reads them
        {"1e-50\n", true, 0, "? "},              // underflow is a number
        {"abc\n7\n", true, 7, "? Unesite broj\n? "},
        {"nan 5\n6\n", true, 6, "? Unesite broj\n? "},  // the line's rest goes too
        {"inf\n-INFINITY\n1e39\n3\n", true, 3,
         "? Unesite broj\n? Unesite broj\n? Unesite broj\n? "},
        {std::string("\0 9\n1\n", 6), true, 1, "? Unesite broj\n? "},  // a NUL is no number
        {"", false, -1, "? "},
        {"   \n  ", false, -1, "? "},
        {"x\n", false, -1, "? Unesite broj\n? "},
    };
    for (const Case& c : cases) {
        Typed r(c.input);
        float v = -1;
        EXPECT_EQ(console_read_float(r.con, "? ", v), c.ok) << c.input;
        EXPECT_EQ(v, c.value) << c.input;
        EXPECT_EQ(r.out.str(), c.printed) << c.input;
    }
}

TEST(ConsoleReadFloat, LeavesWhatFollowsTheNumberForTheNextQuestion) {
    Typed r("4abc\n5\n");
    float a = 0, b = 0;
    ASSERT_TRUE(console_read_float(r.con, "a ", a));
    ASSERT_TRUE(console_read_float(r.con, "b ", b));
    EXPECT_EQ(a, 4);
    EXPECT_EQ(b, 5);
    EXPECT_EQ(r.out.str(), "a b Unesite broj\nb ");
}

TEST(BounceCount, UpToAMillionAndWithin32Bits) {
    struct Case { const char* input; bool ok; std::int32_t count; int refusals; };
    const Case cases[] = {
        {"1000000\n", true, 1000000, 0},
        {"0\n", true, 0, 0},
        {"-7\n", true, -7, 0},
        {"-2147483648\n", true, INT32_MIN, 0},
        {"1000001\n3\n", true, 3, 1},
        {"2147483648\n-2147483649\n99999999999999999999999\n3\n", true, 3, 3},
        {"3.9\n", true, 3, 0},  // as %d: the fraction is left unread
        {"1000001\n", false, 0, 1},
    };
    for (const Case& c : cases) {
        Typed r(c.input);
        std::int32_t n = 0;
        EXPECT_EQ(ask_bounce_count(r.con, n), c.ok) << c.input;
        EXPECT_EQ(n, c.count) << c.input;
        std::string expected = "Unesi broj odbijanja \n";
        for (int i = 0; i < c.refusals; ++i)
            expected += "Broj odbijanja moze biti najvise 1000000\nUnesi broj odbijanja \n";
        EXPECT_EQ(r.out.str(), expected) << c.input;
    }
}

TEST(Size, RefusesZeroAndNegativeSizes) {
    Typed r("0\n-0\n-3\n2.5\n");
    float s = 0;
    ASSERT_TRUE(ask_size(r.con, "S\n", s));
    EXPECT_EQ(s, 2.5f);
    EXPECT_EQ(r.out.str(), "S\nUnesite pozitivan broj\nS\nUnesite pozitivan broj\nS\n"
                           "Unesite pozitivan broj\nS\n");
}

TEST(StartPoint, BoundsAreInclusiveAndARefusedXRepeatsTheHeading) {
    const float size[3] = {4, 3, 2};
    Typed r("4.001 4 -0.001 3 2.5 2\n");
    Point p;
    ASSERT_TRUE(ask_start_point(r.con, size, 3, p));
    EXPECT_EQ(p.x, 4);
    EXPECT_EQ(p.y, 3);
    EXPECT_EQ(p.z, 2);
    EXPECT_EQ(r.out.str(),
              "Unesi koordinate pocetne tacke\nx= Unesite koordinate koje pripadaju stolu\n "
              "Unesi koordinate pocetne tacke\nx= y= Unesite koordinate koje pripadaju stolu\n "
              "y= z= Unesite koordinate koje pripadaju stolu\n z= ");
}

TEST(Direction, AllZeroIsAskedAgainFromTheHeading) {
    Typed r("0 -0 0\n0 0 1\n");
    Point d;
    ASSERT_TRUE(ask_direction(r.con, 3, d));
    EXPECT_EQ(d.z, 1);
    EXPECT_EQ(r.out.str(),
              "Unesi pravac pocetne tacke\nx= y= z= Unesite pravac razlicit od nule\n"
              "Unesi pravac pocetne tacke\nx= y= z= ");
}

TEST(InputEnded, ReportedOnTheErrorStream) {
    Typed r("");
    EXPECT_EQ(console_input_ended(r.con), 1);
    EXPECT_EQ(r.err.str(), "Unos je prekinut\n");
}

}  // namespace
