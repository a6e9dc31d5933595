#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "profile/ProfileDefaults.h"
#include "support/ByteImage.h"

namespace veltrix {
namespace {

using test::ByteImage;
using test::BytesOf;

// The defaults as the file format states them, written at raw offsets: a wrong offset or a wrong
// default in the structs shows up as a byte difference here.
ByteImage ExpectedDefaults() {
    ByteImage image(164364);
    const std::int32_t dpi[] = {10, 16, 32, 50, 0, 0, 0, 0};
    const std::int32_t enabled[] = {1, 1, 1, 1, 0, 0, 0, 0};
    const std::int32_t dpiColor[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                                     0xFFFF00, 0xFF00FF, 0x0080FF, 0xFFFFFF};
    const std::int32_t lightPreset[] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF,
                                        0x00FFFF, 0xFFFFFF, 0xFFFFFF, 0x0080FF};
    const std::uint8_t funcCode[] = {1, 2, 3, 4, 5, 7, 8, 0, 0, 0, 11, 12};
    for (std::size_t p = 0; p < 5; ++p) {
        const std::size_t base = 4 + 32872 * p;
        image.PutI32(base + 2200, 420);
        image.PutI32(base + 2204, 3);
        image.PutI32(base + 2212, 6);
        image.PutI32(base + 2228, 8);
        image.PutI32(base + 2232, 8);
        for (std::size_t k = 0; k < 8; ++k) {
            image.PutI32(base + 2244 + 4 * k, dpi[k]);
            image.PutI32(base + 2276 + 4 * k, dpi[k]);
            image.PutI32(base + 2308 + 4 * k, enabled[k]);
            image.PutI32(base + 2376 + 4 * k, dpiColor[k]);
            image.PutI32(base + 2408 + 4 * k, lightPreset[k]);
        }
        image.PutI32(base + 2340, 8);
        image.PutI32(base + 2344, 5);
        image.PutI32(base + 2348, 2);
        image.PutI32(base + 2352, 1);
        image.PutI32(base + 2356, 2);
        image.PutI32(base + 2360, 7);
        image.PutU8(base + 2364, 1);
        image.PutI32(base + 2368, 1);
        image.PutI32(base + 2372, 0x0000FF);
        for (std::size_t i = 0; i < 24; ++i) {
            const std::size_t entry = base + 2440 + 1268 * i;
            image.PutU8(entry + 0, static_cast<std::uint8_t>(i));
            image.PutU8(entry + 1, funcCode[i % 12]);
            image.PutU16(entry + 8, 562);
            image.PutI32(entry + 1072, -1);
            image.PutI32(entry + 1076, -1);
        }
    }
    return image;
}

TEST(ProfileDefaults, ZeroRecordBecomesTheFactoryImageByteForByte) {
    EXPECT_EQ(BytesOf(DefaultProfileSettings()), ExpectedDefaults().Bytes());
}

TEST(ProfileDefaults, ResetKeepsReservedBytesAndMakesTheFirstProfileCurrent) {
    auto settings = std::make_unique<ProfileSettings>();
    std::memset(settings.get(), 0xA5, sizeof(ProfileSettings));
    settings->iCurProfile = 3;
    ResetProfileSettings(*settings);

    // Apart from the bytes that keep their value, the result is the factory image.
    auto expected = std::make_unique<ProfileSettings>(DefaultProfileSettings());
    for (std::size_t p = 0; p < 5; ++p) {
        ProfileData& e = expected->Profiles[p];
        std::memset(e.byReserved.data(), 0xA5, e.byReserved.size());
        e.aiReserved2216.fill(static_cast<std::int32_t>(0xA5A5A5A5));
        e.aiReserved2236.fill(static_cast<std::int32_t>(0xA5A5A5A5));
        e.byReserved2208 = static_cast<std::int32_t>(0xA5A5A500);
        e.bLightColorDefault = static_cast<std::int32_t>(0xA5A5A501);
    }
    EXPECT_EQ(BytesOf(*settings), BytesOf(*expected));
}

}  // namespace
}  // namespace veltrix
