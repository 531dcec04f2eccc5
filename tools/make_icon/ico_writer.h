#pragma once
// Encodes an image as a Windows .ico file holding one 32-bit image with its transparency mask.

#include "icon_source.h"

#include <string>

std::string encodeIco(const Image& image);
