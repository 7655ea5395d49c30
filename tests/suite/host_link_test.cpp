// The switch of the running host to RTTY at 45.45 baud: once per load, at the
// end of a result request, never in the way of the result.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "support/fake_host.h"
#include "support/message_boxes.h"
#include "support/plugin.h"

namespace stats::test {
namespace {

const char kEmptyResult[] =
    "KYRVEN RTTY CONTEST  - \r\n\tContestant: \r\n\tQSOs\tPoints\r\nTotal\t 0\t 0\r\n\r\nScore: = 0\r\n\r\n";

const std::vector<ReceivedMacro> kBothAccepted = {{"<MODE:RTTY>", true, ""}, {"<BAUDRATE:45.45>", true, ""}};

// The host is set up first and goes last, so the plug-in is unloaded while
// the host still runs, as in the logging program.
class HostLinkTest : public ::testing::Test {
protected:
    WorkDir dir;
    FakeHost host;
    std::optional<Plugin> plugin{std::in_place};
};

TEST_F(HostLinkTest, SentAtTheFirstRequestThatFindsTheHostThenNeverAgainInThisLoad) {
    MessageBoxWatcher boxes;
    plugin->ResetStats();
    plugin->AddData(Qso());
    const std::string absent = plugin->Result();
    EXPECT_TRUE(host.Received().empty());

    host.SetMode(HostMode::kPresent);
    EXPECT_EQ(plugin->Result(), absent);
    EXPECT_EQ(host.Received(), kBothAccepted);

    plugin->Result();
    plugin->ResetStats();
    plugin->AddData(Qso());
    EXPECT_EQ(plugin->Result(), absent);
    EXPECT_EQ(host.Received(), kBothAccepted);
    // Neither the switch nor its attempts talk to the operator.
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(HostLinkTest, ANewLoadSwitchesTheHostAgain) {
    host.SetMode(HostMode::kPresent);
    plugin->Result();
    plugin.reset();
    plugin.emplace();
    plugin->Result();
    plugin->Result();
    std::vector<ReceivedMacro> twice = kBothAccepted;
    twice.insert(twice.end(), kBothAccepted.begin(), kBothAccepted.end());
    EXPECT_EQ(host.Received(), twice);
}

TEST_F(HostLinkTest, RunWithoutCabrilloLogSendsAtItsFirstRequest) {
    host.SetMode(HostMode::kPresent);
    Reset reset;
    reset.cabrilloEnabled = 0;
    plugin->ResetStats(reset);
    EXPECT_TRUE(host.Received().empty());
    plugin->Result();
    EXPECT_EQ(host.Received(), kBothAccepted);
}

TEST_F(HostLinkTest, RunWithCabrilloLogSendsOnlyAfterTheOutputBoxWasClosed) {
    MessageBoxWatcher boxes;
    host.OnMacro([&boxes] { return std::to_string(boxes.Shown().size()) + " boxes"; });
    host.SetMode(HostMode::kPresent);
    Reset reset;
    reset.cabrilloEnabled = 1;
    ASSERT_EQ(plugin->ResetStats(reset), 1);
    const size_t before = boxes.Shown().size();  // the header dialog, where there is one
    std::int32_t code = 0;
    plugin->Result(&code);
    EXPECT_EQ(code, -1);
    const std::vector<ShownBox> shown = boxes.Shown();
    ASSERT_EQ(shown.size(), before + 1);
    EXPECT_EQ(shown.back(), (ShownBox{"Output", "File produced: N0CALL.cbr"}));
    const std::string note = std::to_string(before + 1) + " boxes";
    EXPECT_EQ(host.Received(), (std::vector<ReceivedMacro>{{"<MODE:RTTY>", true, note},
                                                           {"<BAUDRATE:45.45>", true, note}}));
}

TEST_F(HostLinkTest, TenRequestsWithoutTheHost) {
    MessageBoxWatcher boxes;
#ifndef _WIN32
    const int connectionsBefore = host.ConnectionsSeen();
#endif
    for (int i = 0; i < 10; ++i) EXPECT_EQ(plugin->Result(), kEmptyResult);
    EXPECT_TRUE(host.Received().empty());
    EXPECT_TRUE(boxes.Shown().empty());
    // Every attempt gives back what it took.
    EXPECT_EQ(host.PluginLinks(0), 0);
#ifdef _WIN32
    EXPECT_FALSE(ThreadInApartment()) << "an attempt entered the apartment without leaving it";
#else
    EXPECT_EQ(host.ConnectionsSeen() - connectionsBefore, 10);
    EXPECT_FALSE(host.StartRequested()) << "the plug-in had the bus start the host";
#endif
    plugin.reset();
    EXPECT_EQ(host.PluginLinks(0), 0);

    // Found at last by the eleventh request of a new load.
    plugin.emplace();
    host.SetMode(HostMode::kPresent);
    EXPECT_EQ(plugin->Result(), kEmptyResult);
    EXPECT_EQ(host.Received(), kBothAccepted);
}

// A host that refuses the first macro gets no second one; the result is as
// usual and the next request tries again, from the first macro.
TEST_F(HostLinkTest, RefusedMacroEndsTheAttemptAndTheNextRequestTriesAgain) {
    for (const HostMode mode : {HostMode::kFailing, HostMode::kBroken}) {
        SCOPED_TRACE(mode == HostMode::kFailing ? "host error" : "plain failure");
        // A load of its own for each case (a second Plugin would share one).
        plugin.reset();
        Plugin fresh;
        const size_t already = host.Received().size();
        host.SetMode(mode);
        EXPECT_EQ(fresh.Result(), kEmptyResult);
        EXPECT_EQ(fresh.Result(), kEmptyResult);
        host.SetMode(HostMode::kPresent);
        EXPECT_EQ(fresh.Result(), kEmptyResult);
        EXPECT_EQ(fresh.Result(), kEmptyResult);
        const std::vector<ReceivedMacro> received = host.Received();
        ASSERT_GE(received.size(), already);
        EXPECT_EQ(std::vector<ReceivedMacro>(received.begin() + static_cast<std::ptrdiff_t>(already), received.end()),
                  (std::vector<ReceivedMacro>{{"<MODE:RTTY>", false, ""},
                                              {"<MODE:RTTY>", false, ""},
                                              {"<MODE:RTTY>", true, ""},
                                              {"<BAUDRATE:45.45>", true, ""}}));
    }
}

#ifndef _WIN32
// A host that takes the call and never answers holds the result up only for
// the call's time limit.
TEST_F(HostLinkTest, HungHostDelaysTheResultBrieflyAndIsTriedAgain) {
    host.SetMode(HostMode::kHung);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(plugin->Result(), kEmptyResult);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_LT(waited, std::chrono::seconds(5));
    EXPECT_EQ(host.Received(), (std::vector<ReceivedMacro>{{"<MODE:RTTY>", false, ""}}));

    host.SetMode(HostMode::kPresent);
    EXPECT_EQ(plugin->Result(), kEmptyResult);
    EXPECT_EQ(host.Received(), (std::vector<ReceivedMacro>{
                                   {"<MODE:RTTY>", false, ""}, {"<MODE:RTTY>", true, ""}, {"<BAUDRATE:45.45>", true, ""}}));
}
#endif

// The plug-in keeps one hold on the host from the first attempt that finds it
// until unload, and lets go of it then, once.
TEST_F(HostLinkTest, HoldsTheHostUntilUnloadAndReleasesItOnce) {
    host.SetMode(HostMode::kFailing);
    plugin->Result();
    EXPECT_EQ(host.PluginLinks(1), 1);
    host.SetMode(HostMode::kPresent);
    plugin->Result();
    EXPECT_EQ(host.Received().size(), 3u);
    EXPECT_EQ(host.PluginLinks(1), 1) << "a second attempt must not add a hold to the first";
    plugin->Result();
    EXPECT_EQ(host.PluginLinks(1), 1);
    plugin.reset();
    EXPECT_EQ(host.PluginLinks(0), 0);
}

}  // namespace
}  // namespace stats::test
