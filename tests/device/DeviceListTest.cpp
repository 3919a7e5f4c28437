// The device list on its own: identifiers, duplicate paths, removal of
// unknown paths, shared ownership of records, and lookups racing changes.

#include "device/DeviceList.h"

#include "device/DeviceLibrary.h"
#include "device/ResultCodes.h"
#include "device/bus/SimulatedBus.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Recorded {
    std::uint32_t code;
    std::uint32_t productId;
    std::uint32_t deviceId;
};

struct Recorder {
    std::mutex mutex;
    std::vector<Recorded> events;
    static void Callback(void* context, std::uint32_t code, const GlmDev::DeviceEvent* event) {
        auto* self = static_cast<Recorder*>(context);
        std::lock_guard lock(self->mutex);
        self->events.push_back(Recorded{code, event->productId, event->deviceId});
    }
};

std::shared_ptr<GlmDev::Bus> AnyBus() {
    return std::make_shared<GlmDev::SimulatedBus>("/nonexistent");
}

TEST(DeviceList, HandsOutIdentifiersInOrderAndListsAPathOnce) {
    GlmDev::DeviceList list;
    Recorder recorder;
    list.SetCallback(&Recorder::Callback, &recorder);
    EXPECT_TRUE(list.Add("/a", 0x1011, AnyBus()));
    EXPECT_TRUE(list.Add("/b", 0x1013, AnyBus()));
    EXPECT_FALSE(list.Add("/a", 0x1011, AnyBus())); // enumeration racing an arrival
    EXPECT_EQ(list.GetCount(), 2u);
    ASSERT_EQ(recorder.events.size(), 2u);
    EXPECT_EQ(recorder.events[1].code, GlmDev::DeviceArrived);
    EXPECT_EQ(recorder.events[1].deviceId, 1u);
    EXPECT_EQ(recorder.events[1].productId, 0x1013u);

    EXPECT_FALSE(list.Remove("/unknown"));
    EXPECT_EQ(recorder.events.size(), 2u);
    EXPECT_TRUE(list.Remove("/a"));
    ASSERT_EQ(recorder.events.size(), 3u);
    EXPECT_EQ(recorder.events[2].code, GlmDev::DeviceRemoved);
    EXPECT_EQ(recorder.events[2].deviceId, 0u);
    EXPECT_EQ(recorder.events[2].productId, 0x1011u);

    // Plugged again: a new identifier.
    EXPECT_TRUE(list.Add("/a", 0x1011, AnyBus()));
    EXPECT_EQ(list.List().back().id, 2u);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_TRUE(list.Add("/c", 0x1012, AnyBus()));
    EXPECT_EQ(list.List().front().id, 0u);
}

TEST(DeviceList, ARecordOutlivesItsRemovalWhileReferenced) {
    GlmDev::DeviceList list;
    list.Add("/a", 0x1011, AnyBus());
    std::shared_ptr<GlmDev::DeviceRecord> record = list.Find(0);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record.use_count(), 2);
    EXPECT_EQ(list.Find(7), nullptr);
    list.Remove("/a");
    EXPECT_EQ(list.Find(0), nullptr);
    EXPECT_EQ(record.use_count(), 1);
    EXPECT_EQ(record->GetPath(), "/a");
    list.Add("/b", 0x1011, AnyBus());
    std::shared_ptr<GlmDev::DeviceRecord> held = list.Find(1);
    const std::weak_ptr<GlmDev::DeviceRecord> watched = held;
    list.Clear(); // a command still holds one
    ASSERT_FALSE(watched.expired());
    EXPECT_EQ(held->GetPath(), "/b");
    EXPECT_EQ(record->Close(), GlmDev::kWrongHandleState);
    std::uint8_t reply[8] = {0};
    EXPECT_EQ(record->ReadReport(reply), GlmDev::kWrongHandleState);
    EXPECT_EQ(record->WriteReport(reply), GlmDev::kWrongHandleState);
    held.reset();
    EXPECT_TRUE(watched.expired()) << "the last holder owned the record";
}

TEST(DeviceList, LookupsRaceArrivalsAndRemovals) {
    GlmDev::DeviceList list;
    std::atomic<bool> done{false};
    std::atomic<int> found{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            while (!done.load()) {
                for (std::uint32_t id = 0; id < 64; ++id) {
                    if (const auto record = list.Find(id)) {
                        found += record->GetPath().empty() ? 0 : 1;
                    }
                }
                list.List();
            }
        });
    }
    for (int round = 0; round < 200; ++round) {
        const std::string path = "/toy" + std::to_string(round % 5);
        list.Add(path, 0x1011, AnyBus());
        if (round % 3 == 0) {
            list.Remove(path);
        }
    }
    done = true;
    for (std::thread& reader : readers) {
        reader.join();
    }
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0u);
}

TEST(DeviceLibrary, OperationsOnAnUnlistedIdReturnMinusThree) {
    std::uint8_t memory[128] = {0};
    std::uint8_t record[5] = {0};
    EXPECT_EQ(GlmDev::GlmDevReadMemory(12345, memory), GlmDev::kNoSuchDevice);
    EXPECT_EQ(GlmDev::GlmDevWriteMemory(12345, memory), GlmDev::kNoSuchDevice);
    EXPECT_EQ(GlmDev::GlmDevSendCommand(12345, 7), GlmDev::kNoSuchDevice);
    EXPECT_EQ(GlmDev::GlmDevReadTouch(12345, record), GlmDev::kNoSuchDevice);
    EXPECT_EQ(GlmDev::GlmDevStop(), GlmDev::kOk); // stopping a stopped library
}

} // namespace
