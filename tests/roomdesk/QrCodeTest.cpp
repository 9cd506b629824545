// The QR code of the tablet remote's address, headless: the modules a reader needs are where a
// reader looks for them, and what is encoded reads back as the text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "roomdesk/views/QrCode.h"
#include "tests/roomdesk/QrReader.h"

namespace
{

// Writes `matrix` as a grey picture (PGM), `scale` pixels a module, with the quiet zone, dark on
// light as the desk draws it.
std::string writePicture(const Vellaris::QrMatrix& matrix, int scale, const std::string& name)
{
    const int side = (matrix.size + 2 * Vellaris::kQrQuietZone) * scale;
    const std::string path = ::testing::TempDir() + name + "-" + std::to_string(::getpid()) + ".pgm";
    std::ofstream file(path, std::ios::binary);
    file << "P5\n" << side << " " << side << "\n255\n";
    for (int py = 0; py < side; ++py)
        for (int px = 0; px < side; ++px)
        {
            const int x = px / scale - Vellaris::kQrQuietZone;
            const int y = py / scale - Vellaris::kQrQuietZone;
            const bool inside = x >= 0 && y >= 0 && x < matrix.size && y < matrix.size;
            file.put(inside && matrix.at(x, y) ? char(0) : char(255));
        }
    return path;
}

// The 7 × 7 finder pattern with its top left module at (left, top): a dark ring, a light ring and
// a dark 3 × 3 core; and the light separator around it inside the code.
bool hasFinderAt(const Vellaris::QrMatrix& m, int left, int top)
{
    for (int y = -1; y <= 7; ++y)
        for (int x = -1; x <= 7; ++x)
        {
            const int cx = left + x, cy = top + y;
            if (cx < 0 || cy < 0 || cx >= m.size || cy >= m.size)
                continue;
            const int ring = std::max(std::abs(x - 3), std::abs(y - 3));
            const bool dark = ring == 3 || ring <= 1;
            if (m.at(cx, cy) != (ring <= 3 && dark))
                return false;
        }
    return true;
}

TEST(QrCode, AnAddressHasTheFinderAndTimingPatternsOfAValidCode)
{
    for (const std::string text : {"http://192.168.1.20:8080/", "http://[fe80::1c2a:3bff:fe4d:5e6f]:8080/"})
    {
        const Vellaris::QrMatrix m = Vellaris::encodeQr(text);
        ASSERT_GE(m.size, 21) << text;
        ASSERT_LE(m.size, 177);
        EXPECT_EQ((m.size - 17) % 4, 0) << "not the size of a version: " << m.size;
        ASSERT_EQ(m.dark.size(), size_t(m.size * m.size));
        EXPECT_TRUE(hasFinderAt(m, 0, 0)) << text;
        EXPECT_TRUE(hasFinderAt(m, m.size - 7, 0)) << text;
        EXPECT_TRUE(hasFinderAt(m, 0, m.size - 7)) << text;
        EXPECT_FALSE(hasFinderAt(m, m.size - 7, m.size - 7)) << "a fourth finder";
        // The timing patterns between the finders alternate, dark on even modules.
        for (int i = 8; i < m.size - 8; ++i)
        {
            EXPECT_EQ(m.at(i, 6), i % 2 == 0) << "row 6, module " << i;
            EXPECT_EQ(m.at(6, i), i % 2 == 0) << "column 6, module " << i;
        }
        // The one module that is always dark, beside the lower left finder.
        EXPECT_TRUE(m.at(8, m.size - 8));
    }
    // A longer text takes a larger code.
    EXPECT_GT(Vellaris::encodeQr("http://192.168.1.20:8080/" + std::string(120, 'a')).size,
              Vellaris::encodeQr("http://192.168.1.20:8080/").size);
}

TEST(QrCode, WhatNoCodeCanHoldGivesNoModules)
{
    EXPECT_EQ(Vellaris::encodeQr("").size, 0);
    EXPECT_TRUE(Vellaris::encodeQr("").dark.empty());
    // More bytes than the largest code holds with this error correction.
    EXPECT_EQ(Vellaris::encodeQr(std::string(3000, 'x')).size, 0);
    EXPECT_EQ(Vellaris::encodeQr(std::string("http://a\0b", 10)).size, 0);
}

TEST(QrCode, AReaderReadsTheAddressBack)
{
    if (!QrReader::available())
        GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";
    int n = 0;
    for (const std::string& text :
         std::vector<std::string>{"http://192.168.1.20:8080/", "http://127.0.0.1:8080/",
                                  "http://[fe80::1c2a:3bff:fe4d:5e6f]:8080/",
                                  "http://Desk-FOH.local:8080/?room=Main%20Hall&x=1", std::string(300, 'Z')})
    {
        const Vellaris::QrMatrix m = Vellaris::encodeQr(text);
        ASSERT_GT(m.size, 0);
        const std::string path = writePicture(m, 4, "qr" + std::to_string(n++));
        EXPECT_EQ(QrReader::read(path), text);
        std::remove(path.c_str());
    }
}

} // namespace
