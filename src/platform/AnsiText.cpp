#include "platform/AnsiText.h"

#include <cerrno>
#include <cstring>

#include <iconv.h>

namespace veltrix {
namespace {

constexpr char kUnmappable = '?';

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Opening a conversion loads the code page's tables, which costs far more than converting a name,
// so each thread keeps its own open descriptor (a descriptor must not be shared between threads).
class Converter {
  public:
    Converter() : m_cd(iconv_open("WINDOWS-1252", "UTF-16LE")) {}
    ~Converter() {
        if (Usable()) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Usable() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Descriptor() const { return m_cd; }

  private:
    iconv_t m_cd;
};

// Without the system's conversion modules only ASCII is certain to be right; everything else
// becomes the same '?' that an unmappable character gives.
std::string AsciiOnly(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        out += unit < 0x80 ? static_cast<char>(unit) : kUnmappable;
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            ++i;
        }
    }
    return out;
}

}  // namespace

std::string ToWindows1252(std::u16string_view text) {
    thread_local Converter converter;
    if (!converter.Usable()) {
        return AsciiOnly(text);
    }
    iconv(converter.Descriptor(), nullptr, nullptr, nullptr, nullptr);

    // UTF-16LE in memory is exactly the char16_t units on this little-endian machine.
    std::string in(text.size() * sizeof(char16_t), '\0');
    std::memcpy(in.data(), text.data(), in.size());
    std::string out(text.size(), '\0');  // one byte per character at most

    char* inPos = in.data();
    std::size_t inLeft = in.size();
    char* outPos = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(converter.Descriptor(), &inPos, &inLeft, &outPos, &outLeft) !=
            static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno != EILSEQ && errno != EINVAL) {
            break;  // E2BIG cannot happen: every character takes at most one output byte
        }
        // Skip the one character that the code page cannot hold, and put '?' in its place.
        const std::size_t unitIndex = (in.size() - inLeft) / sizeof(char16_t);
        const bool pair = IsHighSurrogate(text[unitIndex]) && unitIndex + 1 < text.size() &&
                          IsLowSurrogate(text[unitIndex + 1]);
        const std::size_t skipped = (pair ? 2 : 1) * sizeof(char16_t);
        inPos += skipped;
        inLeft -= skipped;
        *outPos++ = kUnmappable;
        --outLeft;
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace veltrix
