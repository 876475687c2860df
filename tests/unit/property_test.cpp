#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "fuzz/promises.h"

namespace {

struct Program { const char* name; int axes; };
const Program programs[] = {{"flat", 2}, {"box", 3}};

// Every input the fuzzers start from: hand-made cases (extreme directions
// and tables among them) and whatever fuzzing found.
TEST(Promises, KeptOnTheFuzzCorpus) {
    for (const Program& p : programs) {
        const std::string dir = TRAK_TESTS_DIR "/fuzz/corpus/" + std::string(p.name) + "_dialogue";
        for (const auto& f : std::filesystem::directory_iterator(dir)) {
            std::ifstream in(f.path(), std::ios::binary);
            const std::string text{std::istreambuf_iterator<char>(in), {}};
            const char* broken = promises::run(p.axes == 3, text, 300, false);
            EXPECT_TRUE(broken == nullptr) << f.path() << ": " << broken;
        }
    }
}

// Sizes from 2^-8 to 2^10, starts inside or on the border, directions of
// any scale with zero components and components down to 2^-40 of the
// others, up to 300 bounces; written with enough digits to read back.
std::string random_answers(std::mt19937& rng, int axes) {
    std::uniform_real_distribution<float> unit(0, 1);
    const auto spread = [&](float lo, float hi) { return std::exp2(lo + unit(rng) * (hi - lo)); };
    const float scale = spread(-10, 10);
    std::ostringstream size, start, dir;
    for (auto* s : {&size, &start, &dir}) s->precision(9);
    bool moves = false;
    for (int a = 0; a < axes; ++a) {
        const float w = spread(-8, 10), u = unit(rng), v = unit(rng);
        size << w << ' ';
        start << (u < 0.1f ? 0 : u < 0.2f ? w : w * unit(rng)) << ' ';
        const bool still = v < 0.15f && (moves || a + 1 < axes);  // but the ball moves
        moves = moves || !still;
        dir << (unit(rng) < 0.5f ? -scale : scale) *
                   (still ? 0 : v < 0.25f ? spread(-40, -8) : 0.05f + unit(rng)) << ' ';
    }
    return size.str() + start.str() + dir.str() + std::to_string(1 + int(300 * unit(rng))) + "\n";
}

// TRAK_PROPERTY_CASES sets the number of cases per program (the `property`
// test of CTest runs 100000).
TEST(Promises, KeptOnRandomAnswers) {
    const char* n = std::getenv("TRAK_PROPERTY_CASES");
    const int cases = n ? std::atoi(n) : 2000;
    std::mt19937 rng(20261207);
    for (const Program& p : programs) {
        for (int k = 0; k < cases; ++k) {
            const std::string text = random_answers(rng, p.axes);
            const char* broken = promises::run(p.axes == 3, text, 300, true);
            ASSERT_TRUE(broken == nullptr) << p.name << " on " << text << "broke " << broken;
        }
    }
}

}  // namespace
