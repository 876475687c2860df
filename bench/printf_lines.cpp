// The yardstick for trakbox's console: a bare printf loop. Reads the face
// lines of a trakbox transcript, then writes them again with one printf each
// to standard output and reports on standard error how long that loop took:
//
//     printf_lines LINES > /dev/null        stderr: "SECONDS COUNT"
//
// Reading and parsing happen before the clock starts, so the loop is timed
// alone. Each coordinate is kept as the double nearest its six decimals,
// which "%f" prints back to the same six decimals: the output is byte for
// byte the lines read.

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

struct FaceLine {
    char word[8];
    char code[4];
    double x, y, z;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LINES > OUT\n", argv[0]);
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "r");
    if (in == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<FaceLine> lines;
    char text[256];
    while (std::fgets(text, sizeof text, in) != nullptr) {
        FaceLine l;
        if (std::sscanf(text, "%7s ravan %3s, %lf %lf %lf", l.word, l.code, &l.x, &l.y, &l.z) == 5) {
            lines.push_back(l);
        }
    }
    std::fclose(in);

    const auto start = std::chrono::steady_clock::now();
    for (const FaceLine& l : lines) std::printf("%s ravan %s, %f %f %f\n", l.word, l.code, l.x, l.y, l.z);
    std::fflush(stdout);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::fprintf(stderr, "%.6f %zu\n", took.count(), lines.size());
}
