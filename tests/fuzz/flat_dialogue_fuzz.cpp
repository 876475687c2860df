// Feeds arbitrary bytes to trakflat's whole dialogue. Every run must end
// (each read uses up input or ends the dialogue) and a finished dialogue
// must pass on only finite sizes above zero, a start point on the table,
// a direction that is not zero and a bounce count within the limit.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "console/questions.h"
#include "planar/dialogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out, err;
    Console con(in, out, err);
    FlatAnswers a;
    if (!flat_dialogue(con, a)) return 0;

    const RectTable& t = a.table;
    const bool sound = std::isfinite(t.width) && t.width > 0 && std::isfinite(t.height) &&
                       t.height > 0 && a.start.x >= 0 && a.start.x <= t.width &&
                       a.start.y >= 0 && a.start.y <= t.height && std::isfinite(a.direction.x) &&
                       std::isfinite(a.direction.y) && (a.direction.x != 0 || a.direction.y != 0) &&
                       a.bounces <= max_bounce_count;
    if (!sound) std::abort();
    return 0;
}
