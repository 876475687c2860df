#include "viewer/pace.h"

#include <algorithm>

double next_frame_due(double due, double now) { return std::max(due + frame_period_ms, now); }
