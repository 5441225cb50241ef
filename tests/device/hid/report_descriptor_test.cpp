// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Report lengths from real-world report descriptors, and malformed ones refused.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/hid/report_descriptor.h"

namespace vostrel::device {
namespace {

using Descriptor = std::vector<std::uint8_t>;

// A generic vendor-defined device: one unnumbered 64-byte input and output report.
const Descriptor kVendorDefined64 = {
    0x06, 0x00, 0xFF,        // Usage Page (Vendor 0xFF00)
    0x09, 0x01,              // Usage (1)
    0xA1, 0x01,              // Collection (Application)
    0x09, 0x02,              //   Usage (2)
    0x15, 0x00,              //   Logical Minimum (0)
    0x26, 0xFF, 0x00,        //   Logical Maximum (255)
    0x75, 0x08,              //   Report Size (8)
    0x95, 0x40,              //   Report Count (64)
    0x81, 0x02,              //   Input (Data, Var, Abs)
    0x09, 0x03,              //   Usage (3)
    0x15, 0x00,              //   Logical Minimum (0)
    0x26, 0xFF, 0x00,        //   Logical Maximum (255)
    0x75, 0x08,              //   Report Size (8)
    0x95, 0x40,              //   Report Count (64)
    0x91, 0x02,              //   Output (Data, Var, Abs)
    0xC0,                    // End Collection
};

// The boot keyboard of the HID class definition: an 8-byte input report (modifiers,
// reserved byte, six key codes) and a 1-byte LED output report.
const Descriptor kBootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,                          // Generic Desktop, Keyboard, Application
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,  // modifier keys
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02,                          //   8 x 1 bit input
    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,                          //   reserved byte
    0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05,  // LEDs
    0x91, 0x02,                                                  //   5 x 1 bit output
    0x95, 0x01, 0x75, 0x03, 0x91, 0x01,                          //   LED padding
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07,  // key codes
    0x19, 0x00, 0x29, 0x65, 0x81, 0x00,                          //   6 x 8 bit input
    0xC0,
};

// A mouse (report 1, 3 bytes in) beside a vendor collection (report 2: 32 bytes in,
// 16 out; report 3: a 128-byte feature report, which counts for neither).
const Descriptor kMouseAndVendorWithReportIds = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x01,              // Mouse, report ID 1
    0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19, 0x01, 0x29, 0x03,  //   pointer, 3 buttons
    0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02,  //   3 x 1 bit
    0x95, 0x01, 0x75, 0x05, 0x81, 0x03,                          //   5 bit padding
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15, 0x81, 0x25, 0x7F,  //   X, Y
    0x75, 0x08, 0x95, 0x02, 0x81, 0x06,                          //   2 x 8 bit
    0xC0, 0xC0,                                                  //
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02,        // Vendor, report ID 2
    0x75, 0x08, 0x95, 0x20, 0x09, 0x01, 0x81, 0x02,              //   32 bytes in
    0x95, 0x10, 0x09, 0x02, 0x91, 0x02,                          //   16 bytes out
    0x85, 0x03, 0x96, 0x80, 0x00, 0x09, 0x03, 0xB1, 0x02,        //   report 3: 128-byte feature
    0xC0,
};

// Push keeps Report Size, Report Count and Report ID; Pop brings them back.
const Descriptor kPushPop = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,
    0x85, 0x01, 0x75, 0x08, 0x95, 0x04,  // report 1, 4 x 8 bit
    0xA4,                                // Push
    0x85, 0x02, 0x75, 0x10, 0x95, 0x0A,  //   report 2, 10 x 16 bit
    0x81, 0x02,                          //   report 2 input: 20 bytes
    0xB4,                                // Pop
    0x81, 0x02,                          // report 1 input: 4 bytes
    0x91, 0x02,                          // report 1 output: 4 bytes
    0x81, 0x02,                          // report 1 input: 4 more bytes
    0xC0,
};

// A long item whose data would read as Report Count and Input items if it were not
// skipped whole.
const Descriptor kLongItem = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x40,
    0xFE, 0x04, 0xF0, 0x95, 0xFF, 0x81, 0x02,  // long item, 4 data bytes
    0x81, 0x02, 0x91, 0x02, 0xC0,
};

struct DescriptorCase {
    std::string name;
    Descriptor descriptor;
    ReportLayout expected;
};

class ReportLayoutTest : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(ReportLayoutTest, GivesTheLengthsTheOperatingSystemReports) {
    const std::optional<ReportLayout> layout = parseReportLayout(GetParam().descriptor);

    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->inputReportLength, GetParam().expected.inputReportLength);
    EXPECT_EQ(layout->outputReportLength, GetParam().expected.outputReportLength);
    EXPECT_EQ(layout->numberedReports, GetParam().expected.numberedReports);
    EXPECT_EQ(layout->outputReportId, GetParam().expected.outputReportId);
}

// Cutting a descriptor short can only refuse it or lose reports, never lengthen one.
TEST_P(ReportLayoutTest, EveryTruncationIsRefusedOrShorter) {
    const Descriptor& full = GetParam().descriptor;
    for (std::size_t length = 0; length < full.size(); ++length) {
        const std::optional<ReportLayout> layout = parseReportLayout(std::span(full).first(length));
        if (!layout) continue;
        EXPECT_LE(layout->inputReportLength, GetParam().expected.inputReportLength) << "cut at " << length;
        EXPECT_LE(layout->outputReportLength, GetParam().expected.outputReportLength) << "cut at " << length;
    }
}

INSTANTIATE_TEST_SUITE_P(
    RealWorld, ReportLayoutTest,
    ::testing::Values(DescriptorCase{"VendorDefined64", kVendorDefined64, {65, 65, false}},
                      DescriptorCase{"BootKeyboard", kBootKeyboard, {9, 2, false}},
                      DescriptorCase{"MouseAndVendorWithReportIds", kMouseAndVendorWithReportIds, {33, 17, true, 2}},
                      DescriptorCase{"PushPop", kPushPop, {21, 5, true, 1}},
                      DescriptorCase{"LongItem", kLongItem, {65, 65, false}},
                      DescriptorCase{"Empty", {}, {0, 0, false}}),
    [](const ::testing::TestParamInfo<DescriptorCase>& info) { return info.param.name; });

TEST(ReportLayout, HugeReportsSaturateInsteadOfWrapping) {
    const Descriptor huge = {
        0x77, 0xFF, 0xFF, 0xFF, 0xFF,  // Report Size (4294967295)
        0x97, 0xFF, 0xFF, 0xFF, 0xFF,  // Report Count (4294967295)
        0x81, 0x02, 0x81, 0x02, 0x81, 0x02,
    };

    const std::optional<ReportLayout> layout = parseReportLayout(huge);

    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->inputReportLength, 65535);
    EXPECT_EQ(layout->outputReportLength, 0);
}

class MalformedDescriptorTest : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(MalformedDescriptorTest, IsRefused) { EXPECT_FALSE(parseReportLayout(GetParam().descriptor)); }

INSTANTIATE_TEST_SUITE_P(
    Refused, MalformedDescriptorTest,
    ::testing::Values(DescriptorCase{"ShortItemCutInItsData", {0x75, 0x08, 0x26, 0xFF}, {}},
                      DescriptorCase{"FourByteItemCutShort", {0x97, 0x01, 0x02, 0x03}, {}},
                      DescriptorCase{"LongItemHeaderCut", {0x75, 0x08, 0xFE, 0x01}, {}},
                      DescriptorCase{"LongItemDataCut", {0xFE, 0x05, 0x00, 0x01, 0x02}, {}},
                      DescriptorCase{"PopWithoutPush", {0x75, 0x08, 0xB4, 0x81, 0x02}, {}},
                      DescriptorCase{"ReportIdZero", {0x85, 0x00, 0x81, 0x02}, {}},
                      DescriptorCase{"ReportIdBeyondOneByte", {0x86, 0x00, 0x01, 0x81, 0x02}, {}},
                      DescriptorCase{"PushedTooDeep", Descriptor(17, 0xA4), {}}),
    [](const ::testing::TestParamInfo<DescriptorCase>& info) { return info.param.name; });

}  // namespace
}  // namespace vostrel::device
