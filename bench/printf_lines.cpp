// The yardstick for trakbox's console: a bare printf loop. Reads the face
// lines of a trakbox run, then writes them again with one printf each and
// reports on standard error how long the loop alone took:
//
//     printf_lines LINES > /dev/null        stderr: "SECONDS"
//
// Each coordinate is kept as the double nearest its six decimals, which "%f"
// prints back as they were: the output is byte for byte the lines read.

#include <chrono>
#include <cstdio>
#include <vector>

struct FaceLine {
    char word[8], code[4];
    double x, y, z;
};

int main(int argc, char** argv) {
    std::FILE* in = argc == 2 ? std::fopen(argv[1], "r") : nullptr;
    if (in == nullptr) {
        std::fprintf(stderr, "usage: %s LINES > OUT\n", argv[0]);
        return 2;
    }
    std::vector<FaceLine> lines;
    char text[256];
    for (FaceLine l; std::fgets(text, sizeof text, in) != nullptr;) {
        if (std::sscanf(text, "%7s ravan %3s, %lf %lf %lf", l.word, l.code, &l.x, &l.y, &l.z) == 5) {
            lines.push_back(l);
        }
    }
    const auto start = std::chrono::steady_clock::now();
    for (const FaceLine& l : lines) std::printf("%s ravan %s, %f %f %f\n", l.word, l.code, l.x, l.y, l.z);
    std::fflush(stdout);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::fprintf(stderr, "%.6f\n", took.count());
}
