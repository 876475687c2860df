#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "planar/line_intersect.h"
#include "planar/planar_path.h"
#include "viewer/camera.h"
#include "viewer/gesture.h"
#include "viewer/navigation.h"
#include "viewer/scene.h"

// The bounds start at the window's box, not at infinity; NaN and z never
// move them; a segment widens them by both its ends.
TEST(Scene, BoundsGrowByEveryPointAdded) {
    scene = Scene{};
    scene_add_point(Point{NAN, NAN}, colour::red);
    scene_add_point(Point{2000, 800, 1e30f}, colour::red);
    EXPECT_TRUE(scene.bounds.low.x == 1024 && scene.bounds.low.y == 700);
    scene_add_segment(Segment{Point{-5, 1}, Point{3, 900}}, colour::red);
    const SceneBounds& b = scene.bounds;
    EXPECT_TRUE(b.low.x == -5 && b.low.y == 1 && b.high.x == 2000 && b.high.y == 900);
}

// Each row of cases.txt: a function, its arguments, "=" and what it gives.
TEST(Cases, GiveWhatTheRowsSay) {
    std::ifstream file(TRAK_TESTS_DIR "/unit/cases.txt");
    ASSERT_TRUE(file.is_open());
    Pinch pinch;
    for (std::string text; std::getline(file, text);) {
        std::istringstream row(text.substr(0, text.find('#')));
        std::string name, word, want;
        std::vector<std::string> a;
        if (!(row >> name)) continue;
        while (row >> word && word != "=") a.push_back(word);
        while (row >> word) want += (want.empty() ? "" : " ") + word;
        const auto f = [&](int i) { return std::stof(a.at(i)); };
        const auto n = [&](int i) { return std::stoi(a.at(i)); };
        const auto p = [&](int i) { return Point{f(i), f(i + 1)}; };
        const auto finger = [&](int i) {
            return Finger{std::stod(a.at(i)), std::stod(a.at(i + 1))};
        };
        std::ostringstream got;
        got << std::setprecision(9);
        if (name == "camera") {
            const Camera c = camera_from_bounds(SceneBounds{Point{f(0), f(0)}, p(1)});
            got << c.centre_x << ' ' << c.centre_y << ' ' << c.distance;
        } else if (name == "clip") {
            const ClipRange r = clip_range(f(0));
            got << std::setprecision(17) << r.near_distance << ' ' << r.far_distance;
        } else if (name == "viewport") {
            const Viewport v = viewport_for(n(0), n(1));
            got << v.width << ' ' << v.height << ' ' << v.aspect;
        } else if (name == "turn") {
            got << turn_angle(n(0), n(1), n(2));
        } else if (name == "zoom") {
            got << zoom_factor(n(0));
        } else if (name == "nav") {
            got << int(nav_step(n(0), n(1), n(2)));
        } else if (name == "pinch_start") {
            pinch = pinch_start(finger(0), finger(2));
        } else if (name == "pinch") {
            Drag z, t;
            pinch_move(pinch, finger(0), finger(2), 1024, z, t);
            got << z.button << ' ' << z.dx << ' ' << z.dy << ' ' << t.button << ' ' << t.dx << ' '
                << t.dy;
        } else if (name == "cross") {
            Point out{7, 7, 7};
            got << line_intersect(Line{Point{f(0), f(1), f(2)}, p(3)}, Line{p(5), p(7)}, out) << ' '
                << out.x << ' ' << out.y << ' ' << out.z;
        } else if (name == "path") {
            scene = Scene{};
            RectTable t;
            rect_table_set(t, f(0), f(1));
            trace_planar_path(Line{p(2), p(4)}, n(6), t);
            for (const Segment& s : scene.segments) {
                got << (got.tellp() ? " " : "") << s.b.x << ' ' << s.b.y;
            }
        } else {
            ADD_FAILURE() << "no function " << name;
        }
        EXPECT_EQ(got.str(), want) << text;
    }
}
