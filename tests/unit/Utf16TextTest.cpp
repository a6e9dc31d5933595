#include <gtest/gtest.h>

#include "platform/AnsiText.h"
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
    EXPECT_EQ(Utf16ToUtf8(u"a\xD83D"), "a\xEF\xBF\xBD");                   // at the end
    EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");                           // cut sequence
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");                   // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");         // surrogate
}

TEST(EqualIgnoringCase, IgnoresCaseInEveryScriptButNothingElse) {
    EXPECT_TRUE(EqualIgnoringCase(u"Makro", u"mAKRO"));
    EXPECT_TRUE(EqualIgnoringCase(u"\u00C4rger", u"\u00E4RGER"));                  // Ä ä
    EXPECT_TRUE(EqualIgnoringCase(u"\u03A3\u03C3\u03C2", u"\u03C3\u03C2\u03A3"));  // Σ σ ς
    EXPECT_TRUE(EqualIgnoringCase(u"\u0416\u0443\u043A", u"\u0436\u0423\u041A"));  // Жук жУК
    EXPECT_TRUE(EqualIgnoringCase(u"\U00010400", u"\U00010428"));  // Deseret, outside the BMP

    EXPECT_FALSE(EqualIgnoringCase(u"Makro", u"Makro "));
    EXPECT_FALSE(EqualIgnoringCase(u"\u00C4", u"A"));       // no accent folding
    EXPECT_FALSE(EqualIgnoringCase(u"\u00DF", u"ss"));      // no expansion
    EXPECT_FALSE(EqualIgnoringCase(u"\xD801", u"\xD802"));  // lone surrogates stay distinct
}

TEST(FitText, NeverEndsBetweenTheHalvesOfASurrogatePair) {
    EXPECT_EQ(FitText(u"abc", 5), u"abc");
    EXPECT_EQ(FitText(u"abcdef", 4), u"abcd");
    EXPECT_EQ(FitText(u"ab\U0001F5B1c", 3), u"ab");
    EXPECT_EQ(FitText(u"ab\U0001F5B1c", 4), u"ab\U0001F5B1");
}

TEST(AnsiText, Windows1252BytesAndAQuestionMarkPerUnmappableCharacter) {
    // Latin-1 letters keep their value; the euro sign and others live in 0x80 to 0x9f.
    EXPECT_EQ(ToWindows1252(u"\u00C4\u00FF\u20AC\u0178\u2122"), "\xC4\xFF\x80\x9F\x99");
    EXPECT_EQ(ToWindows1252(u"\u65E5\u672Cx"), "??x");
    // A character outside the basic plane is one character, however many units it takes.
    EXPECT_EQ(ToWindows1252(u"a\U0001F600b"), "a?b");
    // Unpaired surrogates, also at the very end, are single characters that cannot be held.
    const char16_t broken[] = {0xDC00, u'x', 0xD800, u'y', 0xD800};
    EXPECT_EQ(ToWindows1252(std::u16string_view(broken, 5)), "?x?y?");
}

}  // namespace
}  // namespace veltrix
