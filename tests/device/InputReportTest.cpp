#include <array>
#include <vector>

#include <gtest/gtest.h>
#include <hidapi.h>

#include "hiddriver/HidapiTransport.h"
#include "hiddriver/hiddriver_input.h"

namespace veltrix::hiddriver {
namespace {

std::optional<VeltrixInputEvent> Decode(const std::vector<std::uint8_t>& report) {
    VeltrixInputEvent event{};
    if (VeltrixDecodeInputReport(report.data(), report.size(), &event) == 0) {
        return std::nullopt;
    }
    return event;
}

TEST(InputReport, DecodesTheFiveEventsOfTheMouse) {
    const struct {
        std::uint8_t event;
        std::uint8_t value;
        std::uint16_t code;
    } cases[] = {{0x10, 3, 0x1000},
                 {0x20, 8, 0x2000},
                 {0x40, 0x37, 0x4000},
                 {0x70, 0, 0x7000},
                 {0x80, 5, 0x8000}};
    for (const auto& c : cases) {
        const auto event = Decode({VELTRIX_INPUT_REPORT_ID, c.event, c.value, 0, 0, 0, 0, 0});
        ASSERT_TRUE(event) << int(c.event);
        EXPECT_EQ(event->code, c.code);
        EXPECT_EQ(event->value, c.value);
    }
    // Values travel unchecked: the program decides what is in range. Only 3 bytes are needed.
    EXPECT_EQ(Decode({VELTRIX_INPUT_REPORT_ID, 0x10, 0xFF})->value, 0xFF);
}

TEST(InputReport, DropsWhatIsNotAnEventOfTheMouse) {
    EXPECT_FALSE(Decode({}));
    EXPECT_FALSE(Decode({VELTRIX_INPUT_REPORT_ID, 0x10}));                    // too short
    EXPECT_FALSE(Decode({0x01, 0x10, 2, 0, 0, 0, 0, 0}));                     // another report
    EXPECT_FALSE(Decode({VELTRIX_INPUT_REPORT_ID, 0x30, 2, 0, 0, 0, 0, 0}));  // unknown event
    EXPECT_FALSE(Decode({VELTRIX_INPUT_REPORT_ID, 0x7F, 1, 0, 0, 0, 0, 0}));  // not a link event
    VeltrixInputEvent event{};
    EXPECT_EQ(VeltrixDecodeInputReport(nullptr, 8, &event), 0);
}

TEST(InputReport, EncodingIsWhatDecodingReads) {
    std::array<std::uint8_t, VELTRIX_INPUT_REPORT_LENGTH> report;
    report.fill(0xEE);
    VeltrixEncodeInputReport(VELTRIX_INPUT_PROFILE, 4, report.data());
    EXPECT_EQ(report,
              (std::array<std::uint8_t, 8>{VELTRIX_INPUT_REPORT_ID, 0x80, 4, 0, 0, 0, 0, 0}));
    const auto event = Decode({report.begin(), report.end()});
    EXPECT_EQ(event->code, VELTRIX_INPUT_PROFILE);
    EXPECT_EQ(event->value, 4);
}

TEST(InputReport, StatusCountsLevelAndBatteryInSetBits) {
    EXPECT_EQ(VeltrixStatusValue(3, 2), 0x37);
    EXPECT_EQ(VeltrixStatusValue(1, 4), 0xF1);
    EXPECT_EQ(VeltrixStatusValue(4, 1), 0x1F);
    // Levels above 4 cannot be told: the low nibble is 0, which names no level.
    EXPECT_EQ(VeltrixStatusValue(5, 3), 0x70);
    EXPECT_EQ(VeltrixStatusValue(0, 0), 0x00);
}

TEST(HidapiTransport, MatchesDevicesByTheirUdevHidId) {
    const auto receiver = ParseHidId("0003:00001D57:0000FA60");
    ASSERT_TRUE(receiver);
    EXPECT_EQ(receiver->vid, 0x1D57);
    EXPECT_EQ(receiver->pid, 0xFA60);
    EXPECT_EQ(ParseHidId("0005:00001d57:0000fa61")->pid, 0xFA61);
    for (const char* bad : {"", "0003", "0003:00001D57",
                            "0003:00001D57:", "0003:00001D57:0000FA60:", "0003:00011D57:0000FA60",
                            "0003:xyz:0000FA60", "0003;00001D57;0000FA60"}) {
        EXPECT_FALSE(ParseHidId(bad)) << bad;
    }
}

TEST(HidapiTransport, FindsTheFirstUsagePageOfAReportDescriptor) {
    using Bytes = std::vector<std::uint8_t>;
    // Usage Page (vendor 0xFF00), Usage (1), Collection (application)
    EXPECT_EQ(FirstUsagePage(Bytes{0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01}), 0xFF00);
    // Usage Page (generic desktop), Usage (mouse), then a vendor page later on
    EXPECT_EQ(FirstUsagePage(Bytes{0x05, 0x01, 0x09, 0x02, 0x06, 0x00, 0xFF}), 0x01);
    // a 4-byte usage page after a long item and a report id
    EXPECT_EQ(FirstUsagePage(Bytes{0xFE, 2, 0x10, 0xAA, 0xBB, 0x85, 0x03, 0x07, 0x01, 0xFF, 0, 0}),
              0xFF01);
    EXPECT_FALSE(FirstUsagePage(Bytes{}));
    EXPECT_FALSE(FirstUsagePage(Bytes{0x06, 0x00}));  // cut short
    EXPECT_FALSE(FirstUsagePage(Bytes{0xFE}));
    EXPECT_FALSE(FirstUsagePage(Bytes{0x09, 0x01, 0xA1, 0x01, 0xC0}));
}

TEST(HidapiTransport, OpensTheVendorInterfaceElseTheFirst) {
    hid_device_info third{};
    third.usage_page = 0xFF01;
    hid_device_info second{};
    second.usage_page = 0xFF00;
    second.next = &third;
    hid_device_info first{};
    first.usage_page = 0x01;
    first.next = &second;
    EXPECT_EQ(PickInterface(&first), &second);
    second.usage_page = 0x0C;
    third.usage_page = 0x01;
    EXPECT_EQ(PickInterface(&first), &first);
    EXPECT_EQ(PickInterface(nullptr), nullptr);
}

}  // namespace
}  // namespace veltrix::hiddriver
