// Discovery and the report protocol against virtual toys on a temporary
// simulated bus: enumeration, hot-plug, memory, touches, faults and unplugs
// in the middle of an operation, the toy object and the device watcher.

#include "common/UI/Messages.h"
#include "common/UI/RecordingMessageTarget.h"
#include "device/DeviceLibrary.h"
#include "device/DeviceWatcher.h"
#include "device/ReportIo.h"
#include "device/ResultCodes.h"
#include "device/SupportedToys.h"
#include "device/Toy.h"
#include "tests/device/DeviceTestSupport.h"

#include <cstring>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace DeviceTest;

struct Recorded {
    std::uint32_t code;
    std::uint32_t productId;
    std::uint32_t deviceId;
};

class Recorder {
public:
    static void Callback(void* context, std::uint32_t code, const GlmDev::DeviceEvent* event) {
        auto* self = static_cast<Recorder*>(context);
        std::lock_guard lock(self->m_mutex);
        self->m_events.push_back(Recorded{code, event->productId, event->deviceId});
    }
    std::vector<Recorded> Events() {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    bool WaitForCount(std::size_t count) {
        return WaitUntil([&] { return Events().size() >= count; });
    }

private:
    std::mutex m_mutex;
    std::vector<Recorded> m_events;
};

class CharmNames : public Glm::CharmLookup {
public:
    bool FindCharmName(std::int32_t id, std::string& name) const override {
        if (id == 31 || id == 12) {
            name = id == 31 ? "Pebble Crown" : "Moss Lantern";
            return true;
        }
        return false;
    }
};

class Discovery : public ::testing::Test {
protected:
    void SetUp() override { GlmDev::GlmDevStop(); }
    void TearDown() override {
        GlmDev::GlmDevStop();
        GlmDev::SetReportTimeoutMs(10000);
    }
    std::string Bus() const { return m_dir.Path() + "/bus"; }
    Toys::VirtualToyOptions Options(std::uint16_t productId, const std::string& name) const {
        return ToyOptions(Bus(), productId, name);
    }

    TempDir m_dir;
    ScopedEnv m_env{"GLIMMERIES_TOY_DIR", m_dir.Path() + "/bus"};
    Recorder m_recorder;
};

void MakeStaleSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd); // never listened, never removed
}

TEST_F(Discovery, ListsTheToysPresentInOrderAndNothingElse) {
    InProcessToy a(Options(GlmDev::kBraceletProductId, "a"));
    InProcessToy b(Options(GlmDev::kJewelryBoxProductId, "b"));
    InProcessToy c(Options(GlmDev::kGameProductId, "c"));
    InProcessToy unsupported(Options(0x1014, "d"));
    auto otherVendorOptions = Options(GlmDev::kBraceletProductId, "e");
    otherVendorOptions.vendorId = 0x1D9C;
    InProcessToy otherVendor(otherVendorOptions);
    std::ofstream(Bus() + "/notes.txt") << "not a toy";
    std::ofstream(Bus() + "/toy-1d9b-1011-plain.sock") << "a file with a toy's name";
    MakeStaleSocket(Bus() + "/toy-1d9b-1011-stale.sock");

    ::testing::internal::CaptureStderr();
    ASSERT_EQ(GlmDev::GlmDevStart(&Recorder::Callback, &m_recorder), GlmDev::kOk);
    const std::string diagnostics = ::testing::internal::GetCapturedStderr();

    const std::vector<Recorded> events = m_recorder.Events(); // reported before Start returned
    SCOPED_TRACE(diagnostics);
    ASSERT_EQ(events.size(), 3u);
    const std::uint32_t products[] = {0x1011, 0x1013, 0x1012};
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(events[i].code, GlmDev::DeviceArrived);
        EXPECT_EQ(events[i].deviceId, i);
        EXPECT_EQ(events[i].productId, products[i]);
    }
    const auto listed = GlmDev::GlmDevGetDeviceList().List();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].path, a.SocketPath());
    EXPECT_NE(diagnostics.find("notes.txt: not a toy socket name"), std::string::npos) << diagnostics;
    EXPECT_NE(diagnostics.find("toy-1d9b-1011-plain.sock: not a socket"), std::string::npos) << diagnostics;
    EXPECT_NE(diagnostics.find("CheckDeviceSupported: failed to open device: "), std::string::npos);
    EXPECT_NE(diagnostics.find("device name: " + Bus() + "/toy-1d9b-1011-stale.sock"), std::string::npos);

    // Stop and start again: identifiers from 0.
    EXPECT_EQ(GlmDev::GlmDevStop(), GlmDev::kOk);
    EXPECT_EQ(GlmDev::GlmDevGetDeviceList().GetCount(), 0u);
    b.Unplug();
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), GlmDev::kOk);
    const auto again = GlmDev::GlmDevGetDeviceList().List();
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[0].id, 0u);
    EXPECT_EQ(again[1].id, 1u);
    EXPECT_EQ(again[1].productId, GlmDev::kGameProductId);
}

TEST_F(Discovery, ReportsArrivalAndRemovalWithTheSameIdentity) {
    ASSERT_EQ(GlmDev::GlmDevStart(&Recorder::Callback, &m_recorder), GlmDev::kOk);
    {
        InProcessToy first(Options(GlmDev::kBraceletProductId, "first"));
        InProcessToy second(Options(GlmDev::kJewelryBoxProductId, "second"));
        ASSERT_TRUE(m_recorder.WaitForCount(2));
        first.Unplug();
        ASSERT_TRUE(m_recorder.WaitForCount(3));
    }
    ASSERT_TRUE(m_recorder.WaitForCount(4));
    const std::vector<Recorded> events = m_recorder.Events();
    EXPECT_EQ(events[0].code, GlmDev::DeviceArrived);
    EXPECT_EQ(events[2].code, GlmDev::DeviceRemoved);
    EXPECT_EQ(events[2].deviceId, events[0].deviceId);
    EXPECT_EQ(events[2].productId, events[0].productId);
    EXPECT_EQ(events[3].code, GlmDev::DeviceRemoved);
    EXPECT_EQ(events[3].deviceId, events[1].deviceId);
    EXPECT_EQ(events[3].productId, GlmDev::kJewelryBoxProductId);
    EXPECT_EQ(GlmDev::GlmDevGetDeviceList().GetCount(), 0u);
}

TEST_F(Discovery, ReadsMemoryAndTheToyObjectWritesIt) {
    auto options = Options(GlmDev::kBraceletProductId, "mem");
    options.charms = {12, 12, 31};
    options.friends = {77};
    options.points = 1230;
    InProcessToy toy(options);
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), GlmDev::kOk);

    Glm::Toy object(0, GlmDev::kBraceletProductId);
    ASSERT_EQ(object.ReadMemory(), GlmDev::kOk);
    EXPECT_EQ(object.GetPoints(), 1230);
    EXPECT_EQ(Glm::Toy::GetWord(object.GetImage(), 2), 12);
    EXPECT_EQ(Glm::Toy::GetWord(object.GetImage(), 3), 12);
    EXPECT_EQ(Glm::Toy::GetWord(object.GetImage(), 4), 31);
    EXPECT_EQ(static_cast<std::uint32_t>(Glm::Toy::GetWord(object.GetImage(), 5)), 0x8000004Du);
    std::vector<std::int32_t> friends;
    EXPECT_EQ(object.GetFriends(friends), 0);
    EXPECT_EQ(friends.size(), 1u);

    // RemoveEntry empties only the lower of two equal slots, on the toy too.
    ASSERT_EQ(object.RemoveEntry(12), GlmDev::kOk);
    Glm::Toy reread(0, GlmDev::kBraceletProductId);
    ASSERT_EQ(reread.ReadMemory(), GlmDev::kOk);
    EXPECT_EQ(Glm::Toy::GetWord(reread.GetImage(), 2), 0);
    EXPECT_EQ(Glm::Toy::GetWord(reread.GetImage(), 3), 12);
    EXPECT_EQ(reread.GetImage(), object.GetImage());

    // Set-up from a fresh toy object: the id, and zeros everywhere else.
    Glm::Toy fresh(0, GlmDev::kBraceletProductId);
    ASSERT_EQ(fresh.SetClickId(987654), GlmDev::kOk);
    EXPECT_EQ(fresh.GetClickId(), 987654);
    for (std::size_t word = 1; word < 32; ++word) {
        EXPECT_EQ(Glm::Toy::GetWord(fresh.GetImage(), word), 0) << word;
    }
    // Only words the toy did not hold yet were sent: the emptied slot, then
    // the id, the points and the three slots still filled.
    EXPECT_EQ(toy.Log().Count("wrote "), 6u);
    EXPECT_TRUE(toy.Log().WaitFor("wrote 8 00 00 00 00"));
}

TEST_F(Discovery, ReportsTouchesUntilAcknowledged) {
    InProcessToy bracelet(Options(GlmDev::kBraceletProductId, "wrist"));
    InProcessToy box(Options(GlmDev::kJewelryBoxProductId, "chest"));
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), GlmDev::kOk);
    const CharmNames catalogue;
    Glm::Toy braceletObject(0, GlmDev::kBraceletProductId);
    Glm::Toy boxObject(1, GlmDev::kJewelryBoxProductId);

    Glm::ToyItem item;
    EXPECT_EQ(braceletObject.ReadTouch(catalogue, item), 1); // nothing new
    bracelet.Command("touch charm 31");
    ASSERT_TRUE(bracelet.Log().WaitFor("touched charm 31 slot 2"));
    for (int poll = 0; poll < 2; ++poll) { // reported until acknowledged
        ASSERT_EQ(braceletObject.ReadTouch(catalogue, item), 0);
        EXPECT_EQ(item.id, 31);
        EXPECT_EQ(item.name, "Pebble Crown");
        EXPECT_EQ(item.kind, 2);
    }
    EXPECT_EQ(braceletObject.SendCommand(13), GlmDev::kOk); // not a bracelet's acknowledgement
    EXPECT_EQ(braceletObject.ReadTouch(catalogue, item), 0);
    EXPECT_EQ(braceletObject.SendCommand(7), GlmDev::kOk);
    EXPECT_EQ(braceletObject.ReadTouch(catalogue, item), 1);

    box.Command("touch charm 12");
    ASSERT_TRUE(box.Log().WaitFor("touched charm 12"));
    EXPECT_EQ(boxObject.SendCommand(5), GlmDev::kOk); // 5 alone does not acknowledge
    ASSERT_EQ(boxObject.ReadTouch(catalogue, item), 0);
    EXPECT_EQ(item.id, 12);
    EXPECT_EQ(boxObject.SendCommand(13), GlmDev::kOk);
    EXPECT_EQ(boxObject.SendCommand(5), GlmDev::kOk);
    EXPECT_TRUE(box.Log().WaitFor("acknowledged charm 12"));
    EXPECT_EQ(boxObject.ReadTouch(catalogue, item), 1);

    box.Command("touch charm 99"); // not in the catalogue
    ASSERT_TRUE(box.Log().WaitFor("touched charm 99"));
    EXPECT_EQ(boxObject.ReadTouch(catalogue, item), 1);
    ASSERT_EQ(boxObject.ReadMemory(), GlmDev::kOk);
    std::vector<Glm::ToyItem> items;
    EXPECT_EQ(boxObject.GetItems(catalogue, items), 0);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].id, 12);
}

TEST_F(Discovery, BadRepliesAndSilenceFailTheOperation) {
    InProcessToy toy(Options(GlmDev::kJewelryBoxProductId, "faulty"));
    toy.Command("points 4560");
    ASSERT_TRUE(toy.Log().WaitFor("points 4560"));
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), GlmDev::kOk);

    std::uint8_t memory[128];
    std::memset(memory, 0xCC, sizeof memory);
    toy.Command("fault reportid 3");
    ASSERT_TRUE(toy.Log().WaitFor("fault reportid"));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(GlmDev::GlmDevReadMemory(0, memory), GlmDev::kIoFailed);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "unexpected report ID: 1\n");
    EXPECT_EQ(memory[4], 0); // words 0 to 2 were read
    EXPECT_EQ(memory[5], 4);
    EXPECT_EQ(memory[11], 0);
    EXPECT_EQ(memory[12], 0xCC); // word 3 was not

    toy.Command("fault short");
    ASSERT_TRUE(toy.Log().WaitFor("fault short"));
    std::uint8_t record[5] = {0};
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(GlmDev::GlmDevReadTouch(0, record), GlmDev::kIoFailed);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "unexpected nread: 5\n");

    GlmDev::SetReportTimeoutMs(300);
    toy.Command("hang");
    ASSERT_TRUE(toy.Log().WaitFor("hanging"));
    EXPECT_EQ(GlmDev::GlmDevReadMemory(0, memory), GlmDev::kTimedOut);
    toy.Command("answer");
    ASSERT_TRUE(toy.Log().WaitFor("answering"));
    EXPECT_EQ(GlmDev::GlmDevReadTouch(0, record), GlmDev::kOk);
    EXPECT_EQ(record[0], 1);
}

TEST_F(Discovery, UnpluggingDuringAnOperationFailsIt) {
    InProcessToy reading(Options(GlmDev::kBraceletProductId, "reading"));
    InProcessToy writing(Options(GlmDev::kBraceletProductId, "writing"));
    ASSERT_EQ(GlmDev::GlmDevStart(&Recorder::Callback, &m_recorder), GlmDev::kOk);

    reading.Command("hang");
    ASSERT_TRUE(reading.Log().WaitFor("hanging"));
    auto read = std::async(std::launch::async, [] {
        std::uint8_t memory[128] = {0};
        return GlmDev::GlmDevReadMemory(0, memory);
    });
    ASSERT_TRUE(reading.Log().WaitFor("ignored report (hanging)"));
    reading.Unplug();
    EXPECT_EQ(read.get(), GlmDev::kIoFailed); // noticed at once, not after the limit
    ASSERT_TRUE(m_recorder.WaitForCount(3));

    auto write = std::async(std::launch::async, [] {
        std::uint8_t memory[128] = {1};
        return GlmDev::GlmDevWriteMemory(1, memory);
    });
    ASSERT_TRUE(writing.Log().WaitFor("wrote 8 "));
    writing.Unplug();
    const std::int32_t written = write.get();
    EXPECT_TRUE(written == GlmDev::kIoFailed || written == GlmDev::kTimedOut) << written;
    ASSERT_TRUE(m_recorder.WaitForCount(4));
    std::uint8_t record[5];
    EXPECT_EQ(GlmDev::GlmDevReadTouch(1, record), GlmDev::kNoSuchDevice);
}

// The limit is ten seconds; the test shortens it through the hook rather than
// waiting it out, and only checks that the answer never comes before it.
TEST_F(Discovery, ASilentToyTimesOutAtTheReportLimit) {
    ASSERT_EQ(GlmDev::GetReportTimeoutMs(), 10000);
    InProcessToy toy(Options(GlmDev::kJewelryBoxProductId, "silent"));
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), GlmDev::kOk);
    toy.Command("hang");
    ASSERT_TRUE(toy.Log().WaitFor("hanging"));
    GlmDev::SetReportTimeoutMs(250);
    std::uint8_t record[5] = {0};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(GlmDev::GlmDevReadTouch(0, record), GlmDev::kTimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
}

TEST_F(Discovery, TheWatcherPostsEveryChangeWithANewToy) {
    InProcessToy present(Options(GlmDev::kGameProductId, "present"));
    UI::RecordingMessageTarget target;
    Glm::DeviceWatcher watcher;
    ASSERT_EQ(watcher.Start(&target), GlmDev::kOk);
    ASSERT_EQ(target.Messages().size(), 1u); // posted before Start returned
    {
        InProcessToy later(Options(GlmDev::kBraceletProductId, "later"));
        ASSERT_TRUE(target.WaitForCount(2, 10s));
    }
    ASSERT_TRUE(target.WaitForCount(3, 10s));
    const std::vector<UI::Message> messages = target.Messages();
    const std::uintptr_t codes[] = {UI::kDeviceArrival, UI::kDeviceArrival, UI::kDeviceRemoval};
    const std::uint32_t ids[] = {0, 1, 1};
    const std::uint32_t products[] = {GlmDev::kGameProductId, GlmDev::kBraceletProductId,
                                      GlmDev::kBraceletProductId};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(messages[i].id, UI::WM_GLM_DEVICE_CHANGE);
        EXPECT_EQ(messages[i].wParam, codes[i]);
        EXPECT_EQ(messages[i].lParam, 0);
        const auto toy = std::static_pointer_cast<Glm::Toy>(messages[i].object);
        ASSERT_TRUE(toy);
        EXPECT_EQ(toy->GetDeviceId(), ids[i]);
        EXPECT_EQ(toy->GetProductId(), products[i]);
    }
    watcher.Stop();
    EXPECT_EQ(GlmDev::GlmDevGetDeviceList().GetCount(), 0u);
    target.Clear();
    ASSERT_EQ(watcher.Start(&target), GlmDev::kOk); // and again, from 0
    ASSERT_EQ(target.Messages().size(), 1u);
    EXPECT_EQ(std::static_pointer_cast<Glm::Toy>(target.Messages()[0].object)->GetDeviceId(), 0u);
    watcher.Stop();
}

} // namespace
