#include "planar/dialogue.h"

#include "console/questions.h"

bool flat_dialogue(Console& c, FlatAnswers& a) {
    if (!rect_table_read(c, a.table)) return false;
    const float size[2] = {a.table.width, a.table.height};
    return ask_start_point(c, size, 2, a.start) &&
           ask_direction(c, 2, a.direction) &&
           ask_bounce_count(c, a.bounces);
}
