#pragma once

#include "image/jpeg_picture_rows.h"

namespace vantola::jpeg {

// Renders `source` onto the size of `target` by area averaging: every target pixel is the
// mean of the source area it covers (partly covered source pixels weighted by the covered
// part), rounded to the nearest level, halves up. Equal sizes copy the pixels.
void areaAverage(BgrRows& source, BgrPlane& target);

} // namespace vantola::jpeg
