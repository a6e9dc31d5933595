#include <gtest/gtest.h>

#include "platform/AnsiText.h"

namespace veltrix {
namespace {

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
