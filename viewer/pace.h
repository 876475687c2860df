#pragma once
// The pace of a window redrawn continuously: no faster than a screen shows.

/// A 60th of a second, in milliseconds: the frame period of the screens the
/// programs run on.
constexpr double frame_period_ms = 1000.0 / 60;

/// When the frame after one that was due at `due` is due, `now` being when
/// that one was drawn (milliseconds, on one clock): a period after `due`, so
/// that frames keep an even pace whatever the clock's rounding, or `now`
/// itself when drawing took longer than the period (no wait after a slow
/// frame, and no burst of frames to catch up).
double next_frame_due(double due, double now);
