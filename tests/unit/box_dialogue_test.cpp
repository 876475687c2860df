#include <gtest/gtest.h>

#include <sstream>

#include "box/dialogue.h"

namespace {

TEST(BoxDialogue, GoodAnswersByteForByte) {
    struct Case {
        const char* name;
        const char* input;
        const char* output;
        float size[3], start[3], direction[3];
        int bounces;
    };
    const Case cases[] = {
        {"one answer a line", "4\n3\n2\n1\n1\n1\n1\n1\n1\n5\n",
         "Unesi sirinu stola\nUnesi visinu stola\nUnesi dubinu stola\n"
         "Unesi koordinate pocetne tacke\nx= y= z= "
         "Unesi pravac pocetne tacke\nx= y= z= Unesi broj odbijanja \n",
         {4, 3, 2}, {1, 1, 1}, {1, 1, 1}, 5},
        // The bounds are inclusive; a zero component or count is taken.
        {"all on one line, on the far corner", "4.5 3 2 4.5 3 2 1 0 -0.25 0",
         "Unesi sirinu stola\nUnesi visinu stola\nUnesi dubinu stola\n"
         "Unesi koordinate pocetne tacke\nx= y= z= "
         "Unesi pravac pocetne tacke\nx= y= z= Unesi broj odbijanja \n",
         {4.5f, 3, 2}, {4.5f, 3, 2}, {1, 0, -0.25f}, 0},
        // Off the box: x brings back the heading, y and z only their prompt.
        {"coordinates off the box", "4\n3\n2\n5\n0\n-1\n3\n2.5\n0\n1\n2\n3\n-7\n",
         "Unesi sirinu stola\nUnesi visinu stola\nUnesi dubinu stola\n"
         "Unesi koordinate pocetne tacke\n"
         "x= Unesite koordinate koje pripadaju stolu\n Unesi koordinate pocetne tacke\n"
         "x= y= Unesite koordinate koje pripadaju stolu\n y= "
         "z= Unesite koordinate koje pripadaju stolu\n z= "
         "Unesi pravac pocetne tacke\nx= y= z= Unesi broj odbijanja \n",
         {4, 3, 2}, {0, 3, 0}, {1, 2, 3}, -7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.input);
        std::ostringstream out, err;
        Console con{in, out, err};
        BoxAnswers a;
        ASSERT_TRUE(box_dialogue(con, a));
        EXPECT_EQ(out.str(), c.output);
        EXPECT_EQ(err.str(), "");
        const BoxTable& t = a.table;
        EXPECT_TRUE(t.width == c.size[0] && t.height == c.size[1] && t.depth == c.size[2]);
        EXPECT_EQ(t.planes[4].offset, -c.size[2]);  // the table is filled, not just sized
        EXPECT_TRUE(a.start.x == c.start[0] && a.start.y == c.start[1] && a.start.z == c.start[2]);
        EXPECT_TRUE(a.direction.x == c.direction[0] && a.direction.y == c.direction[1] &&
                    a.direction.z == c.direction[2]);
        EXPECT_EQ(a.bounces, c.bounces);
    }
}

}  // namespace
