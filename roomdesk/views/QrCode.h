#pragma once

#include <string>
#include <vector>

namespace Vellaris
{

// The modules of a QR code, row by row from the top left: `size` × `size`, true for a dark module.
// A text that does not fit the largest code gives size 0 and no modules.
struct QrMatrix
{
    int size = 0;
    std::vector<bool> dark;

    bool at(int x, int y) const { return dark[size_t(y) * size_t(size) + size_t(x)]; }
};

// Light modules a reader needs around a code on every side.
constexpr int kQrQuietZone = 4;

// Encodes `text` as bytes (UTF-8 as given) in the smallest code that holds it with medium error
// correction (about 15 % of the code may be lost), which a phone's camera reads off a screen.
QrMatrix encodeQr(const std::string& text);

} // namespace Vellaris
