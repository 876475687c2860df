#include <gtest/gtest.h>

#include <sstream>

#include "box/dialogue.h"
#include "console/console.h"
#include "console/questions.h"
#include "planar/dialogue.h"

// The console transcripts (tests/e2e/transcripts) compare whole dialogues
// byte for byte; these check each question's rules on their own and the
// values the dialogues pass on, which no transcript shows.

namespace {

struct Typed {
    std::istringstream in;
    std::ostringstream out, err;
    Console con{in, out, err};
    explicit Typed(const std::string& text) : in(text) {}
};

bool at(Point p, float x, float y, float z) { return p.x == x && p.y == y && p.z == z; }

TEST(ConsoleReadFloat, TakesWhatScanfWouldAndRefusesTheRest) {
    struct Case { std::string input; bool ok; float value; const char* printed; };
    const Case cases[] = {
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

TEST(BounceCount, UpToAMillionAndWithin32Bits) {
    struct Case { const char* input; std::int32_t count; int refusals; };
    const Case cases[] = {
        {"1000000\n", 1000000, 0},
        {"0\n", 0, 0},
        {"-2147483648\n", INT32_MIN, 0},
        {"1000001\n3\n", 3, 1},
        {"2147483648\n-2147483649\n99999999999999999999999\n3\n", 3, 3},
    };
    for (const Case& c : cases) {
        Typed r(c.input);
        std::int32_t n = 0;
        EXPECT_TRUE(ask_bounce_count(r.con, n)) << c.input;
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
    EXPECT_TRUE(at(p, 4, 3, 2));
    EXPECT_EQ(r.out.str(),
              "Unesi koordinate pocetne tacke\nx= Unesite koordinate koje pripadaju stolu\n "
              "Unesi koordinate pocetne tacke\nx= y= Unesite koordinate koje pripadaju stolu\n "
              "y= z= Unesite koordinate koje pripadaju stolu\n z= ");
}

TEST(Direction, AllZeroIsAskedAgainFromTheHeading) {
    Typed r("0 -0 0\n0 0 1\n");
    Point d;
    ASSERT_TRUE(ask_direction(r.con, 3, d));
    EXPECT_TRUE(at(d, 0, 0, 1));
    EXPECT_EQ(r.out.str(),
              "Unesi pravac pocetne tacke\nx= y= z= Unesite pravac razlicit od nule\n"
              "Unesi pravac pocetne tacke\nx= y= z= ");
}

TEST(Dialogue, PassesOnTheAnswers) {
    Typed flat("4 2 1 0 1 1 3");
    FlatAnswers f;
    ASSERT_TRUE(flat_dialogue(flat.con, f));
    EXPECT_TRUE(f.table.width == 4 && f.table.height == 2 && at(f.table.corners[2], 4, 2, 0));
    EXPECT_TRUE(at(f.start, 1, 0, 0) && at(f.direction, 1, 1, 0));
    EXPECT_EQ(f.bounces, 3);
    EXPECT_EQ(flat.out.str(), "Unesi sirinu stola\nUnesi visinu stola\nUnesi koordinate pocetne "
                              "tacke\nx= y= Unesi pravac pocetne tacke\nx= y= Unesi broj odbijanja \n");

    // A start on the far corner, a zero component and a zero count are taken.
    Typed box("4.5 3 2 4.5 3 2 1 0 -0.25 0");
    BoxAnswers b;
    ASSERT_TRUE(box_dialogue(box.con, b));
    EXPECT_TRUE(b.table.width == 4.5f && b.table.height == 3 && b.table.depth == 2);
    EXPECT_EQ(b.table.planes[plane_index::front].offset, -2);  // filled, not just sized
    EXPECT_TRUE(at(b.start, 4.5f, 3, 2) && at(b.direction, 1, 0, -0.25f));
    EXPECT_EQ(b.bounces, 0);
}

// Wherever the input ends, the dialogue gives up and leaves the report to
// its caller.
TEST(Dialogue, StopsWhereverTheInputEnds) {
    const std::pair<std::string, bool (*)(Console&)> dialogues[] = {
        {"4 2 1 0 1 1 ", [](Console& c) { FlatAnswers a; return flat_dialogue(c, a); }},
        {"4 3 2 1 1 1 1 1 1 ", [](Console& c) { BoxAnswers a; return box_dialogue(c, a); }},
    };
    for (const auto& [answers, dialogue] : dialogues) {
        for (std::size_t end = 0; end <= answers.size(); end += 2) {
            Typed r(answers.substr(0, end));
            EXPECT_FALSE(dialogue(r.con)) << r.in.str();
            EXPECT_EQ(r.err.str(), "");
        }
    }
}

}  // namespace
