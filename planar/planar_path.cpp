#include "planar/planar_path.h"

// Placeholder until the tracer lands: no path is drawn.
void trace_planar_path(Line, std::int32_t, RectTable) {}
