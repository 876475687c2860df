// Feeds arbitrary bytes to trakbox's whole dialogue and traces the first
// legs of the path (see fuzz_check.h).

#include "box/box_path.h"
#include "box/dialogue.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzConsole c(data, size);
    BoxAnswers a;
    if (!box_dialogue(c.con, a)) return 0;
    const float sz[3] = {a.table.width, a.table.height, a.table.depth};
    const float st[3] = {a.start.x, a.start.y, a.start.z};
    const float dir[3] = {a.direction.x, a.direction.y, a.direction.z};
    check_answers(3, sz, st, dir, a.bounces);
    std::ostringstream lines;
    trace_box_path(Line{a.start, a.direction}, a.table, std::min(a.bounces, 50), a.start, lines);
    check_legs(3, sz, dir);
    return 0;
}
