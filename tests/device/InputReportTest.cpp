#include <array>
#include <vector>

#include <gtest/gtest.h>
#include <hidapi.h>

#include "hiddriver/HidapiTransport.h"
#include "hiddriver/hiddriver_input.h"

namespace veltrix::hiddriver {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::optional<VeltrixInputEvent> Decode(const Bytes& report) {
    VeltrixInputEvent event{};
    if (VeltrixDecodeInputReport(report.data(), report.size(), &event) == 0) {
        return std::nullopt;
    }
    return event;
}

TEST(InputReport, TheFiveEventsOfTheMouseTravelThroughEightBytes) {
    using Event = std::pair<std::uint16_t, std::uint8_t>;
    for (const auto& [code, value] : {Event{0x1000, 3}, Event{0x2000, 8}, Event{0x4000, 0x37},
                                      Event{0x7000, 0}, Event{0x8000, 0xFF}}) {
        std::array<std::uint8_t, VELTRIX_INPUT_REPORT_LENGTH> report;
        report.fill(0xEE);
        VeltrixEncodeInputReport(code, value, report.data());
        EXPECT_EQ(Bytes(report.begin(), report.end()),
                  (Bytes{VELTRIX_INPUT_REPORT_ID, std::uint8_t(code >> 8), value, 0, 0, 0, 0, 0}));
        // Values travel unchecked: the program decides what is in range.
        const auto event = Decode(Bytes(report.begin(), report.begin() + 3));
        ASSERT_TRUE(event) << code;
        EXPECT_EQ(event->code, code);
        EXPECT_EQ(event->value, value);
    }
    EXPECT_FALSE(Decode({}));
    EXPECT_FALSE(Decode({VELTRIX_INPUT_REPORT_ID, 0x10}));                    // too short
    EXPECT_FALSE(Decode({0x01, 0x10, 2, 0, 0, 0, 0, 0}));                     // another report
    EXPECT_FALSE(Decode({VELTRIX_INPUT_REPORT_ID, 0x30, 2, 0, 0, 0, 0, 0}));  // unknown event
    EXPECT_FALSE(Decode({VELTRIX_INPUT_REPORT_ID, 0x7F, 1, 0, 0, 0, 0, 0}));  // not a link event
    VeltrixInputEvent event{};
    EXPECT_EQ(VeltrixDecodeInputReport(nullptr, 8, &event), 0);
}

TEST(InputReport, StatusCountsLevelAndBatteryInSetBits) {
    EXPECT_EQ(VeltrixStatusValue(3, 2), 0x37);
    EXPECT_EQ(VeltrixStatusValue(4, 1), 0x1F);
    // Levels above 4 cannot be told: the low nibble is 0, which names no level.
    EXPECT_EQ(VeltrixStatusValue(5, 4), 0xF0);
    EXPECT_EQ(VeltrixStatusValue(0, 0), 0x00);
}

TEST(HidapiTransport, ParsesWhatUdevAndTheDeviceDescribe) {
    EXPECT_EQ(ParseHidId("0003:00001D57:0000FA60")->pid, 0xFA60);
    EXPECT_EQ(ParseHidId("0005:00001d57:0000fa61")->vid, 0x1D57);
    for (const char* bad : {"", "0003:00001D57",
                            "0003:00001D57:", "0003:00001D57:0000FA60:", "0003:00011D57:0000FA60",
                            "0003:xyz:0000FA60", "0003;00001D57;0000FA60"}) {
        EXPECT_FALSE(ParseHidId(bad)) << bad;
    }

    // Report descriptors: the first Usage Page item, past other items, long items and report ids.
    EXPECT_EQ(FirstUsagePage(Bytes{0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01}), 0xFF00);
    EXPECT_EQ(FirstUsagePage(Bytes{0x05, 0x01, 0x09, 0x02, 0x06, 0x00, 0xFF}), 0x01);
    EXPECT_EQ(FirstUsagePage(Bytes{0xFE, 2, 0x10, 0xAA, 0xBB, 0x85, 0x03, 0x07, 0x01, 0xFF, 0, 0}),
              0xFF01);
    for (const Bytes& bad : {Bytes{}, Bytes{0x06, 0x00}, Bytes{0xFE}, Bytes{0x09, 0x01, 0xC0}}) {
        EXPECT_FALSE(FirstUsagePage(bad)) << bad.size();
    }
}

TEST(HidapiTransport, OpensTheVendorInterfaceElseTheFirst) {
    hid_device_info list[3]{};
    const auto pick = [&list](std::array<unsigned short, 3> usagePages) {
        for (std::size_t i = 0; i < 3; ++i) {
            list[i].usage_page = usagePages[i];
            list[i].next = i < 2 ? &list[i + 1] : nullptr;
        }
        return PickInterface(list) - list;
    };
    EXPECT_EQ(pick({0x01, 0xFF00, 0xFF01}), 1);
    EXPECT_EQ(pick({0x01, 0x0C, 0xFF01}), 2);
    EXPECT_EQ(pick({0x01, 0x0C, 0x01}), 0);
    EXPECT_EQ(PickInterface(nullptr), nullptr);
}

}  // namespace
}  // namespace veltrix::hiddriver
