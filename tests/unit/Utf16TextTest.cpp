#include <gtest/gtest.h>

#include "platform/Utf16Text.h"

namespace veltrix {
namespace {

TEST(FieldText, StopsAtTheTerminatorOrTheEndOfTheField) {
    std::array<char16_t, 4> field = {u'a', u'b', u'\0', u'z'};
    EXPECT_EQ(FieldText(field), u"ab");
    field = {u'a', u'b', u'c', u'd'};  // no terminator, as a damaged file may hold
    EXPECT_EQ(FieldText(field), u"abcd");
}

TEST(SetFieldText, CutsToLeaveTheTerminatorAndClearsTheRest) {
    std::array<char16_t, 4> field = {u'x', u'x', u'x', u'x'};
    SetFieldText(field, u"ab");
    EXPECT_EQ(field, (std::array<char16_t, 4>{u'a', u'b', u'\0', u'\0'}));
    SetFieldText(field, u"abcdef");
    EXPECT_EQ(field, (std::array<char16_t, 4>{u'a', u'b', u'c', u'\0'}));
}

TEST(Utf16Conversion, RoundTripsEveryPlaneAndReplacesBrokenInput) {
    const std::u16string text = u"Makro \u00C4\u00DF \u20AC \U0001F5B1 \uFFE5";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");  // lone surrogate
    EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");                           // cut sequence
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");                   // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");         // surrogate
}

}  // namespace
}  // namespace veltrix
