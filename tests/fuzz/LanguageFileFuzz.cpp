// A language file from anywhere: a translation that a user drops into the skin folder. It is
// read, and the texts the program asks for are looked up, including the ones it lacks.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Language.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    veltrix::gui::Language language;
    language.LoadFromData(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    for (std::string_view id : {"mouse_name_text", "key_A", "", "no_such_text"}) {
        language.Text(id);
    }
    language.Lookup()("profile_text");
    return 0;
}
