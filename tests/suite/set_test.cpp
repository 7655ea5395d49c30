// The set description and the exchange check: no run state involved.

#include <gtest/gtest.h>

#include <cstring>

#include "support/message_boxes.h"
#include "support/plugin.h"

namespace stats::test {
namespace {

using SetTest = PluginTest;

TEST_F(SetTest, OneSetWithItsName) {
    EXPECT_EQ(plugin.getNumberOfSets(), 1);
    EXPECT_EQ(plugin.getExchgCount0("a", nullptr, "c"), 1);
    EXPECT_STREQ(plugin.getSetName(0), "KYRVEN RTTY CONTEST (C)");
    for (int32_t index : {1, -1, 2147483647}) {
        const char* name = plugin.getSetName(index);
        ASSERT_NE(name, nullptr);
        EXPECT_STREQ(name, "");
    }
    // The names are the library's constants: the same pointer every time.
    EXPECT_EQ(plugin.getSetName(0), plugin.getSetName(0));
}

TEST_F(SetTest, ExchangeIsThreeOrFourDigitsButNot599) {
    const std::pair<const char*, int> cases[] = {
        {"001", 1}, {"599", 0}, {"0599", 1}, {"1234", 1}, {"5990", 1}, {"1", 0},     {"12", 0},
        {"12345", 0}, {"", 0},  {"59A", 0},  {"12 3", 0}, {" 123", 0}, {"12\xB3", 0}, {"\xB9\xB2\xB3", 0},
        {"-12", 0},  {"+123", 0}, {"1.23", 0},
    };
    for (const auto& [exchange, valid] : cases) {
        EXPECT_EQ(plugin.isValidExchg0(exchange, nullptr, nullptr, nullptr, 0, 0, 0), valid) << exchange;
        EXPECT_EQ(plugin.isValidExchg0(exchange, "x", "599", "", -1, 7, 2147483647), valid) << exchange;
    }
    EXPECT_EQ(plugin.isValidExchg0(nullptr, nullptr, nullptr, nullptr, 0, 0, 0), 0);
}

TEST_F(SetTest, ValidationUsesNoRunState) {
    EXPECT_EQ(plugin.isValidExchg0("001", nullptr, nullptr, nullptr, 0, 0, 0), 1);
    plugin.AddData(Qso());
    plugin.ResetStats();
    EXPECT_EQ(plugin.isValidExchg0("001", nullptr, nullptr, nullptr, 0, 0, 0), 1);
    EXPECT_EQ(plugin.getNumberOfSets(), 1);
}

TEST_F(SetTest, SetupShowsItsMessageBox) {
    MessageBoxWatcher boxes;
    plugin.setupSet0();
    EXPECT_EQ(boxes.Shown(), (std::vector<ShownBox>{{kDefaultCaption, "No additional setup for this contest"}}));
}

}  // namespace
}  // namespace stats::test
