#include <gtest/gtest.h>

#include <sstream>

#include "planar/dialogue.h"
#include "viewer/scene.h"

namespace {

const char* const worked_dialogue =
    "Unesi sirinu stola\nUnesi visinu stola\nUnesi koordinate pocetne tacke\n"
    "x= y= Unesi pravac pocetne tacke\nx= y= Unesi broj odbijanja \n";

TEST(FlatDialogue, AsksEveryQuestionInOrder) {
    std::istringstream in("4 2 1 0 1 1 3");
    std::ostringstream out, err;
    Console con(in, out, err);
    FlatAnswers a;
    ASSERT_TRUE(flat_dialogue(con, a));
    EXPECT_EQ(out.str(), worked_dialogue);
    EXPECT_EQ(a.table.width, 4);
    EXPECT_EQ(a.table.height, 2);
    EXPECT_EQ(a.start.x, 1);
    EXPECT_EQ(a.start.y, 0);
    EXPECT_EQ(a.direction.x, 1);
    EXPECT_EQ(a.direction.y, 1);
    EXPECT_EQ(a.bounces, 3);
    EXPECT_EQ(a.start.z, 0);
    EXPECT_EQ(a.direction.z, 0);
    EXPECT_EQ(err.str(), "");
}

TEST(FlatDialogue, StopsAtTheEndOfInputAfterAnyAnswer) {
    const std::string answers[] = {"4", "2", "1", "0", "1", "1"};
    std::string input;
    for (const std::string& a : answers) {
        input += a + "\n";
        std::istringstream in(input);
        std::ostringstream out, err;
        Console con(in, out, err);
        FlatAnswers fa;
        EXPECT_FALSE(flat_dialogue(con, fa)) << input;
        EXPECT_EQ(err.str(), "") << "the caller reports the end";
    }
}

TEST(RectTable, CornersWallsAndEdgesRunCounterClockwise) {
    RectTable t;
    rect_table_set(t, 4, 2);
    const float corners[4][2] = {{0, 0}, {4, 0}, {4, 2}, {0, 2}};
    const float along[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (int k = 0; k < 4; ++k) {
        const int next = (k + 1) % 4;
        EXPECT_EQ(t.corners[k].x, corners[k][0]);
        EXPECT_EQ(t.corners[k].y, corners[k][1]);
        EXPECT_EQ(t.walls[k].base.x, corners[k][0]);
        EXPECT_EQ(t.walls[k].base.y, corners[k][1]);
        EXPECT_EQ(t.walls[k].direction.x, along[k][0]);
        EXPECT_EQ(t.walls[k].direction.y, along[k][1]);
        EXPECT_EQ(t.edges[k].a.x, corners[k][0]);
        EXPECT_EQ(t.edges[k].b.x, corners[next][0]);
        EXPECT_EQ(t.edges[k].b.y, corners[next][1]);
    }

    scene = Scene{};
    rect_table_add_to_scene(t);
    ASSERT_EQ(scene.segments.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(scene.segments[k].colour, colour::black);
        EXPECT_EQ(scene.segments[k].a.x, corners[k][0]);
        EXPECT_EQ(scene.segments[k].a.y, corners[k][1]);
    }
}

}  // namespace
