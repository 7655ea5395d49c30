// Loading and unloading: every load starts from the same empty state.

#include <gtest/gtest.h>

#include "support/library.h"
#include "support/plugin.h"

namespace stats::test {
namespace {

TEST(LifecycleTest, UnloadReallyUnloadsAndTheNextLoadStartsEmpty) {
    WorkDir dir;
    {
        Plugin first;
        Reset reset;
        reset.contestantCall = "Q9ME";
        first.ResetStats(reset);
        first.AddData(Qso());
        ASSERT_NE(first.Result().find("Total\t 1\t"), std::string::npos);
        ASSERT_TRUE(IsLibraryLoaded(PluginPath()));
    }
    EXPECT_FALSE(IsLibraryLoaded(PluginPath()));
    Plugin second;
    EXPECT_EQ(second.Result(),
              "KYRVEN RTTY CONTEST  - \r\n\tContestant: \r\n\tQSOs\tPoints\r\nTotal\t 0\t 0\r\n\r\nScore: = 0\r\n\r\n");
}

TEST(LifecycleTest, QsosAddedBeforeTheFirstResetAreStoredThenDiscarded) {
    WorkDir dir;
    Plugin plugin;
    EXPECT_EQ(plugin.AddData(Qso()), 1);
    EXPECT_NE(plugin.Result().find("80m\t 1\t 6\r\n"), std::string::npos);
    plugin.ResetStats();
    EXPECT_EQ(plugin.Result().find("80m"), std::string::npos);
    // The run state is fresh, the band list too: a new band arrives in order.
    plugin.AddData(Qso());
    EXPECT_NE(plugin.Result().find("80m\t 1\t 6\r\n"), std::string::npos);
}

}  // namespace
}  // namespace stats::test
