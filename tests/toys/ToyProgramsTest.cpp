// glimmeries-toy and glmdev as programs: toys started as processes on a
// temporary bus, driven through their standard input, and the device
// library reached through the command-line tool.

#include "tests/device/DeviceTestSupport.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

namespace {

using namespace DeviceTest;

class ToyPrograms : public ::testing::Test {
protected:
    std::string Bus() const { return m_dir.Path() + "/bus"; }
    std::string State(const std::string& name) const { return m_dir.Path() + "/" + name + ".state"; }

    // Starts a toy and waits until it is on the bus.
    std::unique_ptr<ChildProcess> StartToy(const std::string& kind, const std::string& name,
                                           std::vector<std::string> extra = {}) {
        std::vector<std::string> argv{"glimmeries-toy", kind, "--name", name, "--state", State(name)};
        argv.insert(argv.end(), extra.begin(), extra.end());
        auto toy = std::make_unique<ChildProcess>(argv);
        EXPECT_TRUE(toy->Out().WaitFor(" " + name + " " + Bus() + "/toy-")) << name;
        return toy;
    }

    TempDir m_dir;
    ScopedEnv m_env{"GLIMMERIES_TOY_DIR", m_dir.Path() + "/bus"};
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteState(const std::string& path, const std::string& kind, std::int32_t clickId) {
    std::ofstream out(path);
    out << "glimmeries-toy state 1\nkind " << kind << "\n";
    char first[64];
    std::snprintf(first, sizeof first, "%02x %02x %02x %02x", clickId & 0xFF, (clickId >> 8) & 0xFF,
                  (clickId >> 16) & 0xFF, (clickId >> 24) & 0xFF);
    out << first;
    for (int i = 4; i < 16; ++i) {
        out << " 00";
    }
    out << "\n";
    for (int row = 1; row < 8; ++row) {
        out << "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n";
    }
}

TEST_F(ToyPrograms, ListShowsToysInPlugOrderAndLeavesOthersOut) {
    auto bracelet = StartToy("bracelet", "b1");
    auto box = StartToy("jewelrybox", "j1");
    auto game = StartToy("game", "g1");
    auto stranger = StartToy("bracelet", "odd", {"--product", "0x1014"});
    const CommandResult listed = RunProgram({"glmdev", "list"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "0 0x1011 bracelet " + Bus() + "/toy-1d9b-1011-b1.sock\n" + "1 0x1013 jewelrybox " +
                              Bus() + "/toy-1d9b-1013-j1.sock\n" + "2 0x1012 game " + Bus() +
                              "/toy-1d9b-1012-g1.sock\n");
    // What was left out, for the user whose toy is not recognised.
    EXPECT_NE(
        listed.err.find("not a toy: vendor 0x1d9b product 0x1014 at " + Bus() + "/toy-1d9b-1014-odd.sock"),
        std::string::npos)
        << listed.err;
}

TEST_F(ToyPrograms, ReadSendAndTouchThroughTheTool) {
    auto box = StartToy("jewelrybox", "box", {"--charm", "12", "--charm", "0x101"});
    const CommandResult read = RunProgram({"glmdev", "read", "0"});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_EQ(read.out.substr(0, 48), "00 00 00 00 00 00 00 00 0c 00 00 00 01 01 00 00\n");
    EXPECT_TRUE(std::regex_match(read.out, std::regex("(([0-9a-f]{2} ){15}[0-9a-f]{2}\n){8}")));

    box->WriteLine("touch charm 300");
    ASSERT_TRUE(box->Out().WaitFor("touched charm 300 slot 4"));
    EXPECT_EQ(RunProgram({"glmdev", "touch", "0"}).out, "kind 2 id 300\n");
    EXPECT_EQ(RunProgram({"glmdev", "send", "0", "13"}).exitCode, 0);
    EXPECT_EQ(RunProgram({"glmdev", "send", "0", "5"}).exitCode, 0);
    EXPECT_TRUE(box->Out().WaitFor("acknowledged charm 300"));
    EXPECT_EQ(RunProgram({"glmdev", "touch", "0"}).out, "kind 1 id 0\n");

    const CommandResult missing = RunProgram({"glmdev", "read", "7"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("glmdev: result -3: no toy with that device id is plugged in"),
              std::string::npos);
    EXPECT_EQ(RunProgram({"glmdev", "write", "0", "12"}).exitCode, 2);
    EXPECT_EQ(RunProgram({"glmdev", "frobnicate"}).exitCode, 2);

    box->WriteLine("hang");
    ASSERT_TRUE(box->Out().WaitFor("hanging"));
    box->WriteLine("unplug");
    EXPECT_EQ(box->Wait(), 0);
    EXPECT_TRUE(box->Out().WaitFor("unplugged"));
}

TEST_F(ToyPrograms, AToyKeepsItsMemoryBetweenPlugIns) {
    auto bracelet = StartToy("bracelet", "keeper", {"--points", "70"});
    std::string hex = "2a 00 00 00";
    for (int i = 4; i < 128; ++i) {
        hex += i == 9 ? " 07" : " 00";
    }
    const CommandResult written = RunProgram({"glmdev", "write", "0", hex});
    ASSERT_EQ(written.exitCode, 0) << written.err;
    bracelet->WriteLine("unplug");
    ASSERT_EQ(bracelet->Wait(), 0);

    // Plugged again with other presets: the state file wins.
    bracelet = StartToy("bracelet", "keeper", {"--charm", "5"});
    const CommandResult read = RunProgram({"glmdev", "read", "0"});
    EXPECT_EQ(read.out.substr(0, 48), "2a 00 00 00 00 00 00 00 00 07 00 00 00 00 00 00\n");

    // 32 words are numbers, kept little-endian.
    std::string words = "1e240 0 80000003";
    for (int i = 3; i < 32; ++i) {
        words += " 0";
    }
    ASSERT_EQ(RunProgram({"glmdev", "write", "0", words}).exitCode, 0);
    EXPECT_EQ(RunProgram({"glmdev", "read", "0"}).out.substr(0, 48),
              "40 e2 01 00 00 00 00 00 03 00 00 80 00 00 00 00\n");
}

TEST_F(ToyPrograms, ADamagedStateFileIsRefusedAndLeftAlone) {
    const std::string damaged = "glimmeries-toy state 1\nkind bracelet\n00 11 zz\n";
    std::ofstream(State("broken")) << damaged;
    ChildProcess toy({"glimmeries-toy", "bracelet", "--name", "broken", "--state", State("broken")});
    EXPECT_EQ(toy.Wait(), 1);
    EXPECT_TRUE(toy.Err().WaitFor("damaged state file"));
    EXPECT_EQ(ReadFile(State("broken")), damaged);

    WriteState(State("box"), "jewelrybox", 5); // another kind's state
    ChildProcess wrongKind({"glimmeries-toy", "bracelet", "--name", "box", "--state", State("box")});
    EXPECT_EQ(wrongKind.Wait(), 1);
    EXPECT_TRUE(wrongKind.Err().WaitFor("another kind of toy"));
}

TEST_F(ToyPrograms, BraceletsThatMeetRecordEachOther) {
    WriteState(State("ana"), "bracelet", 1001);
    WriteState(State("bo"), "bracelet", 1002);
    auto ana = StartToy("bracelet", "ana");
    auto bo = StartToy("bracelet", "bo");
    ana->WriteLine("meet bo");
    ASSERT_TRUE(ana->Out().WaitFor("met bo"));
    // 1002 | 0x80000000 = 2147484650; 1001 | 0x80000000 = 2147484649
    EXPECT_TRUE(ana->Out().WaitFor("friend 2147484650 slot 2"));
    EXPECT_TRUE(bo->Out().WaitFor("friend 2147484649 slot 2"));
    ana->WriteLine("meet bo"); // once only
    EXPECT_TRUE(ana->Out().WaitFor("already stored"));
    const CommandResult read = RunProgram({"glmdev", "read", "1"});
    EXPECT_EQ(read.out.substr(0, 48), "ea 03 00 00 00 00 00 00 e9 03 00 80 00 00 00 00\n");
    auto box = StartToy("jewelrybox", "cask");
    ana->WriteLine("meet cask");
    EXPECT_TRUE(ana->Out().WaitFor("error: cask is not a bracelet"));
}

TEST_F(ToyPrograms, WatchPrintsArrivalsAndRemovals) {
    auto early = StartToy("game", "early", {"--detached"});
    ChildProcess watch({"glmdev", "watch"});
    ASSERT_TRUE(watch.Out().WaitFor("arrived 0 0x1012 " + Bus() + "/toy-1d9b-1012-early.sock"));
    auto late = StartToy("jewelrybox", "late");
    ASSERT_TRUE(watch.Out().WaitFor("arrived 1 0x1013 " + Bus() + "/toy-1d9b-1013-late.sock"));
    late->CloseInput(); // end of input unplugs
    EXPECT_EQ(late->Wait(), 0);
    ASSERT_TRUE(watch.Out().WaitFor("removed 1 0x1013 " + Bus() + "/toy-1d9b-1013-late.sock"));
    early->Signal(SIGTERM); // a detached toy leaves on a signal
    EXPECT_EQ(early->Wait(), 0);
    ASSERT_TRUE(watch.Out().WaitFor("removed 0 0x1012 " + Bus() + "/toy-1d9b-1012-early.sock"));
    watch.Signal(SIGINT);
    EXPECT_EQ(watch.Wait(), 0);
}

} // namespace
