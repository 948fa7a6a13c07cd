#include "pe_checksum.h"

#include <gtest/gtest.h>

namespace {

TEST(PeChecksum, sumsWordsLeavingOutItsOwnFieldAndAddsTheLength)
{
    // Words 0x0201 and 0x0403, the field (ignored), and an odd last byte.
    Bytes file = { 0x01, 0x02, 0x03, 0x04, 0xAA, 0xBB, 0xCC, 0xDD, 0xFF };
    EXPECT_EQ(peChecksum(file, 4), 0x0201u + 0x0403u + 0x00FFu + 9u);
    file[5] = 0x00;
    EXPECT_EQ(peChecksum(file, 4), 0x0201u + 0x0403u + 0x00FFu + 9u);
    file[8] = 0xFE;
    EXPECT_EQ(peChecksum(file, 4), 0x0201u + 0x0403u + 0x00FEu + 9u);
}

TEST(PeChecksum, foldsCarriesBackIntoSixteenBits)
{
    Bytes file = { 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00 };
    // 0xFFFF + 0x0003 = 0x10002, folded: 0x0003.
    EXPECT_EQ(peChecksum(file, 2), 0x0003u + 8u);
    Bytes ones(4096, 0xFF);
    // Any number of 0xFFFF words folds to 0xFFFF.
    EXPECT_EQ(peChecksum(ones, 64), 0xFFFFu + 4096u);
}

}  // namespace
