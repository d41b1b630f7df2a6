#include "net/ipv4_address.h"

#include <gtest/gtest.h>

namespace dovrel {
namespace {

TEST(ParseDottedAddress, ReadsTheFourPartForm) {
    EXPECT_EQ(parseDottedAddress("10.1.2.3"), 0x0A010203u);
    EXPECT_EQ(parseDottedAddress("127.0.0.1"), 0x7F000001u);
    EXPECT_EQ(parseDottedAddress("0.0.0.0"), 0u);
    EXPECT_EQ(parseDottedAddress("255.255.255.255"), 0xFFFFFFFFu);
}

TEST(ParseDottedAddress, ReadsShortFormsAndOtherBases) {
    EXPECT_EQ(parseDottedAddress("10.1"), 0x0A000001u);       // last part fills three bytes
    EXPECT_EQ(parseDottedAddress("10.1.258"), 0x0A010102u);   // last part fills two bytes
    EXPECT_EQ(parseDottedAddress("167772161"), 0x0A000001u);  // one part is the whole address
    EXPECT_EQ(parseDottedAddress("0x7f.0.0.1"), 0x7F000001u);
    EXPECT_EQ(parseDottedAddress("0177.0.0.01"), 0x7F000001u);
    EXPECT_EQ(parseDottedAddress("10.0xFFFFFF"), 0x0AFFFFFFu);
}

TEST(ParseDottedAddress, RejectsWhatIsNoAddress) {
    for (const char* text : {"",         ".",        "1.2.3.4.5",   "256.1.1.1",  "1.256.1.1",      "1.2.3.256",
                             "1.2.3.",   ".1.2.3",   "1..2",        "a.b.c.d",    "db.example.com", "08.1.1.1",
                             "0x",       "0x.1.1.1", "10.16777216", "10.1.65536", "4294967296",     " 1.2.3.4",
                             "1.2.3.4 ", "1.2.3.4x", "1.2.3.-4",    "+1.2.3.4",   "1,2,3,4"}) {
        EXPECT_EQ(parseDottedAddress(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(InetAddr, CannotTellTheBroadcastAddressFromABadOne) {
    EXPECT_EQ(InetAddr("10.1.2.3"), 0x0A010203u);
    EXPECT_EQ(InetAddr("db.example.com"), kInaddrNone);
    EXPECT_EQ(InetAddr("255.255.255.255"), kInaddrNone);
}

}  // namespace
}  // namespace dovrel
