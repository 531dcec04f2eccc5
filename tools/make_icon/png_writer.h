#pragma once
// Encodes an image as a PNG file (8-bit RGBA), the form the Linux desktop's icon themes take.
// The image data is deflated in stored blocks: an icon is small, and no compression library is
// needed to write it.

#include "icon_source.h"

#include <string>

std::string encodePng(const Image& image);
