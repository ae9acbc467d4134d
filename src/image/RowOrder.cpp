#include "image/RowOrder.h"

#include <algorithm>

void RowOrder::reverse(std::vector<unsigned char>& pixels, std::size_t rowBytes, std::size_t rows)
{
    for (std::size_t top = 0, bottom = rows - 1; rows > 0 && top < bottom; ++top, --bottom)
        std::swap_ranges(pixels.begin() + std::ptrdiff_t(top * rowBytes),
                         pixels.begin() + std::ptrdiff_t((top + 1) * rowBytes),
                         pixels.begin() + std::ptrdiff_t(bottom * rowBytes));
}
