#pragma once
// The picture in words, as a page tells it to those who do not see its
// canvas (a screen reader, a student who cannot make out the lines), in the
// programs' language, with numbers written as they write them ("%f").

#include <cstddef>
#include <string>
#include <vector>

#include "viewer/shapes.h"

struct PictureWords {
    /// "Sto 4.000000 x 2.000000, pocetna tacka 1.000000 1.000000, pravac 1.000000 1.000000, broj
    /// deonica putanje: 3, kraj putanje 2.000000 2.000000"
    std::string name;
    /// The start point, then each leg's end, a line each: "x= 1.000000 y= 1.000000\n..."
    std::string ends;
    std::string more;  // "Jos deonica: N" for the legs past the first `most`, or nothing
};

/// The words for a table of `size` on `axes` axes (2 or 3), the start point, the direction and
/// the path, whose legs are the red segments of `segments` in order; the ends of the first `most`
/// legs are listed.
PictureWords picture_words(const std::vector<Segment>& segments, const float size[], int axes,
                           Point start, Point direction, std::size_t most);
