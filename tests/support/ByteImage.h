#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace veltrix::test {

// A byte buffer written at raw offsets, to state expected file contents independently of the
// structs that produce them.
class ByteImage {
  public:
    explicit ByteImage(std::size_t size) : m_bytes(size) {}

    void PutU8(std::size_t offset, std::uint8_t value) { m_bytes.at(offset) = value; }
    void PutU16(std::size_t offset, std::uint16_t value) { Put(offset, &value, 2); }
    void PutI32(std::size_t offset, std::int32_t value) { Put(offset, &value, 4); }

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

  private:
    void Put(std::size_t offset, const void* value, std::size_t size) {
        m_bytes.at(offset + size - 1);  // bounds check
        std::memcpy(m_bytes.data() + offset, value, size);
    }
    std::vector<std::uint8_t> m_bytes;
};

template <typename T>
std::vector<std::uint8_t> BytesOf(const T& record) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(&record);
    return std::vector<std::uint8_t>(begin, begin + sizeof(T));
}

// A file's bytes; none when it cannot be read.
inline std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A file's text; empty when it cannot be read.
inline std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes a file of exactly these bytes, making its folder first.
inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace veltrix::test
