#include "platform/os/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

using platform::TextEncoding;
using test_support::Hex;

struct Cp932Case {
    std::u32string text;
    std::string bytes;
    friend void PrintTo(const Cp932Case& c, std::ostream* os) {
        *os << fare_model::EncodeUtf8(c.text);
    }
};

class Cp932RoundTripTest : public ::testing::TestWithParam<Cp932Case> {};

// The vendor's table as glibc has it, not JIS: NEC specials, IBM extensions, the
// user-defined area and the full-width tilde for 81 60.
TEST_P(Cp932RoundTripTest, EncodesAndDecodesTheVendorTable) {
    platform::Cp932Encoder encoder;
    std::optional<std::string> encoded = encoder.Encode(GetParam().text);
    ASSERT_TRUE(encoded.has_value());
    EXPECT_EQ(Hex(*encoded), Hex(GetParam().bytes));

    platform::TextDecoder decoder(TextEncoding::kCp932);
    std::optional<std::u32string> decoded = decoder.Decode(GetParam().bytes);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_TRUE(*decoded == GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Cp932RoundTripTest,
    ::testing::Values(Cp932Case{U"", ""}, Cp932Case{U"abc,1\t\\~", "abc,1\t\\~"},
                      Cp932Case{U"地名１", "\x92\x6E\x96\xBC\x82\x50"}, Cp932Case{U"①", "\x87\x40"},
                      Cp932Case{U"髙", "\xFB\xFC"}, Cp932Case{U"～", "\x81\x60"},
                      Cp932Case{U"\uE000", "\xF0\x40"}, Cp932Case{U"\uE757", "\xF9\xFC"},
                      Cp932Case{U"ｱﾝ", "\xB1\xDD"}, Cp932Case{U"　", "\x81\x40"},
                      Cp932Case{U"－", "\x81\x7C"}));

TEST(Cp932Encoder, RefusesCharactersWithoutAForm) {
    platform::Cp932Encoder encoder;
    for (std::u32string text : {U"한", U"a😀", U"€", U"\uE758"}) {
        EXPECT_FALSE(encoder.Encode(text).has_value()) << fare_model::EncodeUtf8(text);
    }
    EXPECT_FALSE(encoder.CanEncode(U'한'));
    EXPECT_TRUE(encoder.CanEncode(U'地'));
    // Encoding again after a refusal starts afresh.
    EXPECT_EQ(Hex(encoder.Encode(U"駅").value()), "89 77");
}

TEST(TextDecoder, RefusesBytesThatAreNotText) {
    platform::TextDecoder cp932(TextEncoding::kCp932);
    for (std::string bytes : {"\x80", "\xA0", "\xFD", "\x81\x20", "\x85\x40", "a\x81"}) {
        EXPECT_FALSE(cp932.Decode(bytes).has_value()) << Hex(bytes);
    }
    EXPECT_EQ(cp932.Decode("a").value(), U"a");

    platform::TextDecoder utf8(TextEncoding::kUtf8);
    for (std::string bytes : {"\xC0\x80", "\xED\xA0\x80", "\xE3\x81", "\xFF", "\xF4\x90\x80\x80"}) {
        EXPECT_FALSE(utf8.Decode(bytes).has_value()) << Hex(bytes);
        EXPECT_FALSE(platform::DecodeUtf8(bytes).has_value()) << Hex(bytes);
    }
    EXPECT_EQ(utf8.Decode("地名,1").value(), U"地名,1");
}

TEST(Utf8, RoundTrips) {
    const std::u32string text = U"a地ｱ😀\uE000";
    EXPECT_EQ(platform::DecodeUtf8(fare_model::EncodeUtf8(text)).value(), text);
    EXPECT_EQ(fare_model::EncodeUtf8(U"地"), "地");
    // Messages quote hostile text: a value that is no character must not stop them.
    EXPECT_EQ(fare_model::EncodeUtf8(std::u32string{U'a', 0xD800, 0x110000, U'b'}),
              "a\uFFFD\uFFFDb");
}

}  // namespace
