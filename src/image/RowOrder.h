#pragma once

#include <cstddef>
#include <vector>

// Images reach us bottom row first (most TGAs, GL's read-back) and top row first (JPEG, PNG
// files): the one place rows are turned over.
class RowOrder {
public:
    // Reverses the order of the `rows` rows of `rowBytes` bytes at the start of `pixels`.
    static void reverse(std::vector<unsigned char>& pixels, std::size_t rowBytes, std::size_t rows);
};
