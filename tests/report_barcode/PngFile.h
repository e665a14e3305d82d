// A minimal PNG writer for the decoding tests: 8-bit grey, stored (not
// compressed) deflate blocks, so any PNG reader and the scanner decoder
// can read what the barcode component drew. Not a general image library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// gray holds width * height bytes, row by row from the top. Returns false
// when the file cannot be written.
bool WriteGrayPng(const std::string& path, int width, int height, const std::vector<uint8_t>& gray);
