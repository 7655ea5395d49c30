// Linux: a FIFO (or device) where the plug-in expects one of its files must not
// block the host's thread; such a file is treated as one that cannot be read or
// written.

#ifndef _WIN32

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "support/plugin.h"

namespace stats::test {
namespace {

// Runs the call on a thread of its own; a call still blocked after a few
// seconds fails the test and ends the run, since its thread cannot be freed.
template <typename Call>
void WithinSeconds(Call call) {
    auto done = std::async(std::launch::async, call);
    if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "the plug-in blocked on a FIFO";
        std::fflush(nullptr);
        _exit(1);
    }
    done.get();
}

using SpecialFilesTest = PluginTest;

TEST_F(SpecialFilesTest, FifosInPlaceOfThePlugInsFilesDoNotBlock) {
    ASSERT_EQ(mkfifo("err.txt", 0666), 0);
    ASSERT_EQ(mkfifo("Zorv.exe", 0666), 0);
    std::filesystem::create_directory("Plugins");
    ASSERT_EQ(mkfifo("Plugins/KYRVEN.ini", 0666), 0);
    ASSERT_EQ(mkfifo("N0CALL.cbr", 0666), 0);

    WithinSeconds([&] {
        Reset reset;
        reset.cabrilloEnabled = 1;
        EXPECT_EQ(plugin.ResetStats(reset), 1);
        EXPECT_EQ(plugin.AddData(Qso()), 1);
        int32_t code = 0;
        EXPECT_NE(plugin.Result(&code).find("Score: = 6\r\n"), std::string::npos);
        EXPECT_EQ(code, 0);  // the Cabrillo file was not produced
    });
    // The FIFOs are left as they were, not replaced or removed.
    struct stat info {};
    for (const char* name : {"err.txt", "Zorv.exe", "Plugins/KYRVEN.ini", "N0CALL.cbr"}) {
        ASSERT_EQ(stat(name, &info), 0) << name;
        EXPECT_TRUE(S_ISFIFO(info.st_mode)) << name;
    }
}

}  // namespace
}  // namespace stats::test

#endif
