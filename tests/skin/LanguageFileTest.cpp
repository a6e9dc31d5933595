// The language file must read cleanly and name a text for every id the program can ask for: a
// missing id shows up on screen as the id itself.

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "device/DeviceLink.h"
#include "macro/MacroFiles.h"
#include "vocabulary/ButtonFunctions.h"
#include "vocabulary/KeyCodes.h"

namespace veltrix {
namespace {

struct LanguageFile {
    std::string name;
    std::string code;
    std::map<std::string, std::string> texts;
    std::string error;  // empty when the file read cleanly
};

// A strict reader of exactly the shape the file has: an XML declaration, one <language> element
// of <text id="..."> elements, comments and white space. Anything else is an error, so a stray
// tag, an unclosed element or a bad entity fails here rather than half-loading in the program.
class LanguageReader {
  public:
    explicit LanguageReader(std::string_view xml) : m_xml(xml) {}

    LanguageFile Read() {
        LanguageFile file;
        if (!IsValidUtf8(m_xml)) {
            return Fail(file, "not UTF-8");
        }
        if (Take("<?xml")) {
            const std::size_t end = m_xml.find("?>", m_pos);
            if (end == std::string_view::npos) {
                return Fail(file, "unterminated declaration");
            }
            m_pos = end + 2;
        }
        std::map<std::string, std::string> attributes;
        if (!SkipMisc() || !Take("<language") || !ReadAttributes(attributes) || !Take(">")) {
            return Fail(file, "expected <language>");
        }
        file.name = attributes["name"];
        file.code = attributes["code"];
        while (SkipMisc() && !Take("</language>")) {
            attributes.clear();
            std::string text;
            if (!Take("<text") || !ReadAttributes(attributes) || attributes.size() != 1 ||
                !attributes.contains("id") || !Take(">") || !ReadContent(text) ||
                !Take("</text>")) {
                return Fail(file, "bad <text> element");
            }
            if (!file.texts.emplace(attributes["id"], text).second) {
                return Fail(file, "id twice: " + attributes["id"]);
            }
        }
        if (!SkipMisc() || m_pos != m_xml.size()) {
            return Fail(file, "content after </language>");
        }
        return file;
    }

  private:
    LanguageFile Fail(LanguageFile& file, const std::string& what) {
        const auto line = std::count(m_xml.begin(), m_xml.begin() + static_cast<long>(m_pos), '\n');
        file.error = what + " at line " + std::to_string(line + 1);
        return file;
    }

    bool Take(std::string_view token) {
        if (m_xml.substr(m_pos, token.size()) != token) {
            return false;
        }
        m_pos += token.size();
        return true;
    }

    void SkipSpace() {
        while (m_pos < m_xml.size() &&
               std::string_view(" \t\r\n").find(m_xml[m_pos]) != std::string_view::npos) {
            ++m_pos;
        }
    }

    // White space and comments; false for an unterminated or malformed comment.
    bool SkipMisc() {
        for (SkipSpace(); Take("<!--"); SkipSpace()) {
            const std::size_t end = m_xml.find("--", m_pos);
            if (end == std::string_view::npos || m_xml.substr(end, 3) != "-->") {
                return false;
            }
            m_pos = end + 3;
        }
        return true;
    }

    bool ReadAttributes(std::map<std::string, std::string>& attributes) {
        for (;;) {
            const std::size_t before = m_pos;
            SkipSpace();
            if (m_pos == before || m_pos >= m_xml.size() || m_xml[m_pos] == '>' ||
                m_xml[m_pos] == '/') {
                return true;
            }
            const std::size_t eq = m_xml.find('=', m_pos);
            if (eq == std::string_view::npos) {
                return false;
            }
            const std::string name(m_xml.substr(m_pos, eq - m_pos));
            m_pos = eq + 1;
            std::string value;
            if (name.empty() || !Take("\"") || !ReadUntil('"', value) || !Take("\"") ||
                !attributes.emplace(name, value).second) {
                return false;
            }
        }
    }

    bool ReadContent(std::string& text) { return ReadUntil('<', text); }

    // Characters up to `stop`, entities decoded; false on '<' or '&' that do not belong.
    bool ReadUntil(char stop, std::string& out) {
        while (m_pos < m_xml.size() && m_xml[m_pos] != stop) {
            const char c = m_xml[m_pos++];
            if (c == '<') {
                return false;
            }
            if (c != '&') {
                out += c;
                continue;
            }
            const std::size_t semi = m_xml.find(';', m_pos);
            if (semi == std::string_view::npos) {
                return false;
            }
            const std::string_view entity = m_xml.substr(m_pos, semi - m_pos);
            static const std::map<std::string_view, char> named = {
                {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
            if (const auto it = named.find(entity); it != named.end()) {
                out += it->second;
            } else if (entity.starts_with('#')) {
                out += "?";  // a character reference; its value does not matter here
            } else {
                return false;
            }
            m_pos = semi + 1;
        }
        return m_pos < m_xml.size();
    }

    static bool IsValidUtf8(std::string_view bytes) {
        for (std::size_t i = 0; i < bytes.size();) {
            const auto lead = static_cast<unsigned char>(bytes[i]);
            const std::size_t length = lead < 0x80           ? 1
                                       : (lead >> 5) == 0x6  ? 2
                                       : (lead >> 4) == 0xE  ? 3
                                       : (lead >> 3) == 0x1E ? 4
                                                             : 0;
            if (length == 0 || i + length > bytes.size()) {
                return false;
            }
            for (std::size_t k = 1; k < length; ++k) {
                if ((static_cast<unsigned char>(bytes[i + k]) >> 6) != 0x2) {
                    return false;
                }
            }
            i += length;
        }
        return true;
    }

    std::string_view m_xml;
    std::size_t m_pos = 0;
};

LanguageFile ReadText(std::string_view xml) {
    return LanguageReader(xml).Read();
}

const LanguageFile& ShippedFile() {
    static const LanguageFile file = [] {
        std::ifstream in(VELTRIX_LANGUAGE_FILE, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return ReadText(bytes.str());
    }();
    return file;
}

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

TEST(LanguageFile, ReadsCleanlyWithUniqueIdsAndNoEmptyText) {
    const LanguageFile& file = ShippedFile();
    ASSERT_EQ(file.error, "");
    EXPECT_EQ(file.name, "English");
    EXPECT_EQ(file.code, "en");
    for (const auto& [id, text] : file.texts) {
        EXPECT_FALSE(IsBlank(text)) << id;
        EXPECT_NE(text.front(), ' ') << id << ": leading space";
        EXPECT_NE(text.back(), ' ') << id << ": trailing space";
    }
}

TEST(LanguageFile, HasATextForEveryKeyAndButtonFunction) {
    const LanguageFile& file = ShippedFile();
    ASSERT_EQ(file.error, "");
    for (int code = 0; code < 256; ++code) {
        for (const std::string_view id : {KeyTextId(static_cast<std::uint8_t>(code)),
                                          FunctionTextId(static_cast<std::uint8_t>(code))}) {
            if (!id.empty()) {
                EXPECT_TRUE(file.texts.contains(std::string(id))) << id << " (code " << code << ")";
            }
        }
    }
    // The keys a layout can never produce read as on the keyboard, not as the id's spelling.
    EXPECT_EQ(file.texts.at("key_xiexian"), "\\");
    EXPECT_EQ(file.texts.at("\xEF\xBF\xA5"), "\xC2\xA5");
}

TEST(LanguageFile, HasTheTextsThatTheProgramNames) {
    const LanguageFile& file = ShippedFile();
    ASSERT_EQ(file.error, "");
    const std::string named[] = {
        std::string(kChargingTextId),
        "mouse_name_text",
        "profile_text",
        "no_device_text",
        "warning_title_text",
        "delete_macro_text",
        "save_macro_text",
        "mouse_macro_function_text",
        "start_recording_text",
        "stop_recording_text",
        "key_down_action",
        "key_up_action",
        "macro_filter_text",
        "export_macro_failed_text",
        std::string(MacroImportWarningTextId(MacroImportStatus::WrongSize)),
        std::string(MacroImportWarningTextId(MacroImportStatus::Unreadable))};
    for (const std::string& id : named) {
        EXPECT_TRUE(file.texts.contains(id)) << id;
    }
    for (int mode = 1; mode <= 9; ++mode) {  // the tooltips of lighting modes 0 to 8
        EXPECT_TRUE(file.texts.contains("wireless_lightmode" + std::to_string(mode))) << mode;
    }
    EXPECT_EQ(file.texts.at("mouse_name_text"), "Veltrix Wireless");
}

TEST(LanguageReader, RefusesWhatIsNotALanguageFile) {
    const std::string good =
        R"(<language name="x" code="y"><text id="a">A &amp; B</text></language>)";
    ASSERT_EQ(ReadText(good).error, "");
    EXPECT_EQ(ReadText(good).texts.at("a"), "A & B");

    const std::string bad[] = {
        R"(<language name="x"><text id="a">A</text>)",                         // unclosed
        R"(<language><text id="a">A</text><text id="a">B</text></language>)",  // id twice
        R"(<language><text id="a">A & B</text></language>)",                   // bare ampersand
        R"(<language><text id="a"><b>A</b></text></language>)",                // markup in text
        R"(<language><txt id="a">A</txt></language>)",                         // unknown element
        R"(<language><text id="a" lang="b">A</text></language>)",              // extra attribute
        R"(<language><!-- a -- b --></language>)",                             // bad comment
        R"(<language></language><language></language>)",                       // two roots
        "<language><text id=\"a\">\xC3</text></language>",                     // broken UTF-8
    };
    for (const std::string& xml : bad) {
        EXPECT_NE(ReadText(xml).error, "") << xml;
    }
}

}  // namespace
}  // namespace veltrix
