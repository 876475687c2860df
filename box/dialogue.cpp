#include "box/dialogue.h"

#include "console/questions.h"

bool box_dialogue(Console& c, BoxAnswers& a) {
    if (!box_table_read(c, a.table)) return false;
    const float size[3] = {a.table.width, a.table.height, a.table.depth};
    return ask_start_point(c, size, 3, a.start) &&
           ask_direction(c, 3, a.direction) &&
           ask_bounce_count(c, a.bounces);
}
