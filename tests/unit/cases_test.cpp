#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iomanip>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "box/face_line.h"
#include "planar/line_intersect.h"
#include "planar/planar_path.h"
#include "viewer/camera.h"
#include "viewer/gesture.h"
#include "viewer/navigation.h"
#include "viewer/pace.h"
#include "viewer/scene.h"

// Each row of cases.txt: a function, its arguments, "=" and what it gives.
TEST(Cases, GiveWhatTheRowsSay) {
    std::vector<std::string> a;  // a row's arguments
    std::ostringstream got;
    Pinch pinch;
    const auto f = [&](int i) { return std::stof(a.at(i)); };
    const auto n = [&](int i) { return std::stoi(a.at(i)); };
    const auto p = [&](int i) { return Point{f(i), f(i + 1)}; };
    const auto finger = [&](int i) { return Finger{std::stod(a.at(i)), std::stod(a.at(i + 1))}; };
    const auto put = [&](auto... v) { ((got << (got.tellp() ? " " : "") << v), ...); };
    const auto bounds = [&, &b = scene.bounds] { put(b.low.x, b.low.y, b.high.x, b.high.y); };
    const std::map<std::string, std::function<void()>> functions = {
        {"scene", [&] { scene = Scene{}; }},
        {"point", [&] { scene_add_point(Point{f(0), f(1), f(2)}, colour::red); bounds(); }},
        {"segment", [&] { scene_add_segment(Segment{p(0), p(2)}, colour::red); bounds(); }},
        {"camera", [&] { const Camera c = camera_from_bounds(SceneBounds{Point{f(0), f(0)}, p(1)});
                         put(c.centre_x, c.centre_y, c.distance); }},
        {"clip", [&] { got << std::setprecision(17);
                       put(clip_range(f(0)).near_distance, clip_range(f(0)).far_distance); }},
        {"viewport", [&] { const Viewport v = viewport_for(n(0), n(1));
                           put(v.width, v.height, v.aspect); }},
        {"turn", [&] { put(turn_angle(n(0), n(1), n(2))); }},
        {"zoom", [&] { put(zoom_factor(n(0))); }},
        {"nav", [&] { put(int(nav_step(n(0), n(1), n(2)))); }},
        {"pace", [&] { got << std::setprecision(17);
                       put(next_frame_due(std::stod(a.at(0)), std::stod(a.at(1)))); }},
        {"pinch_start", [&] { pinch = pinch_start(finger(0), finger(2)); }},
        {"pinch", [&] { Drag z, t;
                        pinch_move(pinch, finger(0), finger(2), 1024, z, t);
                        put(z.button, z.dx, z.dy, t.button, t.dx, t.dy); }},
        {"cross", [&] { Point out{7, 7, 7};
                        put(line_intersect(Line{Point{f(0), f(1), f(2)}, p(3)}, Line{p(5), p(7)},
                                           out));
                        put(out.x, out.y, out.z); }},
        {"path", [&] { scene = Scene{};
                       RectTable t;
                       rect_table_set(t, f(0), f(1));
                       trace_planar_path(Line{p(2), p(4)}, n(6), t);
                       for (const Segment& s : scene.segments) put(s.b.x, s.b.y); }},
    };
    std::ifstream file(TRAK_TESTS_DIR "/unit/cases.txt");
    ASSERT_TRUE(file.is_open());
    for (std::string text; std::getline(file, text);) {
        std::istringstream row(text.substr(0, text.find('#')));
        std::string name, word, want;
        if (!(row >> name)) continue;
        for (a.clear(); row >> word && word != "=";) a.push_back(word);
        while (row >> word) want += (want.empty() ? "" : " ") + word;
        got.str("");
        got << std::setprecision(9);
        ASSERT_TRUE(functions.count(name)) << text;
        functions.at(name)();
        EXPECT_EQ(got.str(), want) << text;
    }
}

// trakbox formats its lines by hand; they must be what printf's "%f" gives: for -0 and what rounds
// to it, either side of 10^12 (where the quick way gives way to the general one), ties at the
// seventh decimal (n / 128), and random floats of every size and of the sizes where the decimals
// show.
TEST(FaceLine, WritesTheDigitsPrintfWrites) {
    std::vector<float> values = {-0.0f, -1e-7f, 1e12f, std::nextafter(1e12f, 0.0f), -1.0000001e12f};
    for (int n = 0; n < 2000; ++n) values.push_back(n / 128.0f);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> exponent(-30, 40);
    while (values.size() < 8000) {
        const auto bits = std::uint32_t(rng());
        float v;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v) || v == 0) continue;
        values.push_back(values.size() % 2 ? v : std::ldexp(v, exponent(rng) - std::ilogb(v)));
    }
    for (std::size_t k = 0; k + 2 < values.size(); ++k) {
        const double x = values[k], y = values[k + 1], z = values[k + 2];
        std::ostringstream out;
        write_face_line(out, "napred", "1-0", Point{values[k], values[k + 1], values[k + 2]});
        char want[256];
        std::snprintf(want, sizeof want, "napred ravan 1-0, %f %f %f\n", x, y, z);
        ASSERT_EQ(out.str(), want);
    }
}
