#include "device/DeviceLibrary.h"

#include "common/Ex/Exception.h"
#include "common/Sync/Event.h"
#include "device/Commands.h"
#include "device/Diagnostics.h"
#include "device/ResultCodes.h"
#include "device/SupportedToys.h"
#include "device/bus/HidrawBus.h"
#include "device/bus/SimulatedBus.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <poll.h>
#include <system_error>
#include <thread>
#include <vector>

namespace GlmDev {

namespace {

// The running discovery: its buses, its thread and the signals between the
// thread and GlmDevStart/GlmDevStop.
struct Discovery {
    std::vector<std::shared_ptr<Bus>> buses;
    std::unique_ptr<Sync::Event> ready;    // first enumeration done
    std::unique_ptr<Sync::Event> finished; // the thread is leaving
    std::unique_ptr<Sync::Event> stop;
    std::thread thread;
};

struct LibraryState {
    std::mutex startStopMutex; // GlmDevStart and GlmDevStop one at a time
    DeviceList list;
    std::unique_ptr<Discovery> discovery;
};

LibraryState& State() {
    static LibraryState state;
    return state;
}

void EnumeratePresent(Discovery& discovery) {
    for (const std::shared_ptr<Bus>& bus : discovery.buses) {
        for (const std::string& path : bus->EnumeratePaths()) {
            CheckDeviceSupported(bus, path);
        }
    }
}

void OnDeviceChange(const std::shared_ptr<Bus>& bus) {
    for (const BusChange& change : bus->ReadChanges()) {
        if (change.kind == BusChange::Kind::Arrived) {
            CheckDeviceSupported(bus, change.path);
        } else {
            State().list.Remove(change.path);
        }
    }
}

void RunDiscovery(Discovery& discovery) {
    try {
        // Watch first, enumerate second: a toy arriving in between is then
        // seen twice, and Add lists a path only once.
        std::vector<std::shared_ptr<Bus>> watched;
        for (const std::shared_ptr<Bus>& bus : discovery.buses) {
            if (bus->StartMonitor()) {
                watched.push_back(bus);
            }
        }
        discovery.buses = watched;
        if (watched.empty()) {
            discovery.finished->Set();
            return;
        }
        EnumeratePresent(discovery);
    } catch (const std::exception& failed) {
        Diagnostic("OnCreate: exception: %s\n", failed.what());
        discovery.finished->Set();
        return;
    }
    discovery.ready->Set();

    std::vector<pollfd> fds;
    fds.push_back(pollfd{discovery.stop->GetHandle(), POLLIN, 0});
    for (const std::shared_ptr<Bus>& bus : discovery.buses) {
        fds.push_back(pollfd{bus->GetMonitorHandle(), POLLIN, 0});
    }
    for (;;) {
        const int ready = ::poll(fds.data(), fds.size(), -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            Diagnostic("PnP thread: poll failed: %u\n", static_cast<unsigned>(errno));
            break;
        }
        if (fds[0].revents != 0) {
            break;
        }
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents == 0) {
                continue;
            }
            try {
                OnDeviceChange(discovery.buses[i - 1]);
            } catch (const std::exception& failed) {
                Diagnostic("OnDeviceChange: exception: %s\n", failed.what());
            }
        }
    }
    discovery.finished->Set();
}

// Ends the thread of discovery (when there is one) and forgets it. Called
// with startStopMutex held.
void StopLocked(LibraryState& state) {
    if (state.discovery) {
        if (state.discovery->thread.joinable()) {
            state.discovery->stop->Set();
            state.discovery->thread.join();
        }
        state.discovery.reset();
    }
    state.list.SetCallback(nullptr, nullptr);
    state.list.Clear();
}

// Closes an opened record however the exchange ends.
class OpenedRecord {
public:
    explicit OpenedRecord(DeviceRecord& record) : m_record(record) {}
    OpenedRecord(const OpenedRecord&) = delete;
    OpenedRecord& operator=(const OpenedRecord&) = delete;
    ~OpenedRecord() { m_record.Close(); }

private:
    DeviceRecord& m_record;
};

// The frame shared by the four operations: find, open, exchange, close. The
// exchange sees the opened record; the shared record stays alive until the
// operation ends, even when the exchange throws.
template <class Exchange>
std::int32_t WithOpenDevice(std::uint32_t deviceId, Exchange exchange) {
    const std::shared_ptr<DeviceRecord> record = State().list.Find(deviceId);
    if (!record) {
        return kNoSuchDevice;
    }
    std::lock_guard operation(record->GetOperationMutex());
    const std::int32_t opened = record->Open();
    if (opened != kOk) {
        return opened;
    }
    const OpenedRecord closer(*record);
    return exchange(*record);
}

// The 32 read exchanges of a full memory read on an opened record. On an
// error memory keeps what was read before.
std::int32_t ReadAllWords(DeviceRecord& record, std::uint8_t (&memory)[128]) {
    for (std::uint8_t offset = 0; offset < kMemorySize; offset += 4) {
        std::int32_t result = record.WriteReport(ReadWordCommand(offset).bytes);
        std::uint8_t reply[8] = {0};
        if (result == kOk) {
            result = record.ReadReport(reply);
        }
        if (result != kOk) {
            return result;
        }
        std::memcpy(memory + offset, reply, 4);
    }
    return kOk;
}

// One word written on an opened record, and the pause the toy needs after it.
std::int32_t WritePacedWord(DeviceRecord& record, std::uint8_t offset, const std::uint8_t* word) {
    const std::int32_t result = record.WriteReport(WriteWordCommand(offset, word).bytes);
    if (result == kOk) {
        // The toy stores each word in its own slow memory; it needs the
        // pause before it takes the next report.
        std::this_thread::sleep_for(std::chrono::milliseconds(kWritePauseMs));
    }
    return result;
}

bool Selected(std::uint32_t wordMask, std::uint8_t offset) {
    return ((wordMask >> (offset / 4)) & 1u) != 0;
}

} // namespace

void CheckDeviceSupported(const std::shared_ptr<Bus>& bus, const std::string& path) {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    if (!bus->QueryIds(path, vendorId, productId)) {
        return;
    }
    if (IsSupportedToy(vendorId, productId)) {
        State().list.Add(path, productId, bus);
    } else if (VerboseDiagnostics()) {
        Diagnostic("not a toy: vendor 0x%04x product 0x%04x at %s\n", static_cast<unsigned>(vendorId),
                   static_cast<unsigned>(productId), path.c_str());
    }
}

DeviceList& GlmDevGetDeviceList() {
    return State().list;
}

std::int32_t GlmDevStart(DeviceCallback callback, void* context) {
    LibraryState& state = State();
    std::lock_guard lock(state.startStopMutex);
    StopLocked(state);
    state.list.SetCallback(callback, context);

    auto discovery = std::make_unique<Discovery>();
    try {
        discovery->ready = std::make_unique<Sync::Event>(true, false);
        discovery->finished = std::make_unique<Sync::Event>(true, false);
        discovery->stop = std::make_unique<Sync::Event>(true, false);
    } catch (const std::exception&) {
        Diagnostic("failed to create readyEvt: %u\n", static_cast<unsigned>(errno));
        StopLocked(state);
        return kIoFailed;
    } catch (const Ex::Exception&) {
        Diagnostic("failed to create readyEvt: %u\n", static_cast<unsigned>(errno));
        StopLocked(state);
        return kIoFailed;
    }
    discovery->buses.push_back(std::make_shared<HidrawBus>());
    discovery->buses.push_back(std::make_shared<SimulatedBus>());

    Discovery& running = *discovery;
    state.discovery = std::move(discovery);
    try {
        running.thread = std::thread([&running] { RunDiscovery(running); });
    } catch (const std::system_error& failed) {
        Diagnostic("failed to create PnP thread: %u\n", static_cast<unsigned>(failed.code().value()));
        StopLocked(state);
        return kIoFailed;
    }
    const std::uint32_t which =
        Sync::Waitable::Wait({running.ready.get(), running.finished.get()}, false, Sync::INFINITE);
    if (which != Sync::WAIT_OBJECT_0 && !running.ready->IsSet()) {
        Diagnostic("PnP thread has failed\n");
        StopLocked(state);
        return kIoFailed;
    }
    return kOk;
}

std::int32_t GlmDevStop() {
    LibraryState& state = State();
    std::lock_guard lock(state.startStopMutex);
    StopLocked(state);
    return kOk;
}

std::int32_t GlmDevReadMemory(std::uint32_t deviceId, std::uint8_t (&memory)[128]) {
    return WithOpenDevice(deviceId, [&memory](DeviceRecord& record) { return ReadAllWords(record, memory); });
}

std::int32_t GlmDevWriteMemory(std::uint32_t deviceId, const std::uint8_t (&memory)[128]) {
    return WithOpenDevice(deviceId, [&memory](DeviceRecord& record) {
        for (std::uint8_t offset = 0; offset < kMemorySize; offset += 4) {
            const std::int32_t result = WritePacedWord(record, offset, memory + offset);
            if (result != kOk) {
                return result;
            }
        }
        return kOk;
    });
}

std::int32_t GlmDevUpdateMemory(std::uint32_t deviceId, const std::uint8_t (&memory)[128],
                                std::uint32_t wordMask) {
    // One open for the read, the writes and the read-back: the record's
    // operation lock keeps other commands (the touch poll) out in between.
    return WithOpenDevice(deviceId, [&memory, wordMask](DeviceRecord& record) {
        std::uint8_t held[kMemorySize] = {0};
        std::int32_t result = ReadAllWords(record, held);
        for (std::uint8_t offset = 0; result == kOk && offset < kMemorySize; offset += 4) {
            if (Selected(wordMask, offset) && std::memcmp(held + offset, memory + offset, 4) != 0) {
                result = WritePacedWord(record, offset, memory + offset);
            }
        }
        if (result == kOk) {
            result = ReadAllWords(record, held);
        }
        for (std::uint8_t offset = 0; result == kOk && offset < kMemorySize; offset += 4) {
            if (Selected(wordMask, offset) && std::memcmp(held + offset, memory + offset, 4) != 0) {
                Diagnostic("word not held after write: offset %u\n", static_cast<unsigned>(offset));
                result = kIoFailed;
            }
        }
        return result;
    });
}

std::int32_t GlmDevSendCommand(std::uint32_t deviceId, std::uint8_t code) {
    return WithOpenDevice(
        deviceId, [code](DeviceRecord& record) { return record.WriteReport(OneByteCommand(code).bytes); });
}

std::int32_t GlmDevReadTouch(std::uint32_t deviceId, std::uint8_t (&touchRecord)[5]) {
    return WithOpenDevice(deviceId, [&touchRecord](DeviceRecord& record) {
        std::int32_t result = record.WriteReport(ReadTouchCommand().bytes);
        std::uint8_t reply[8] = {0};
        if (result == kOk) {
            result = record.ReadReport(reply);
        }
        if (result == kOk) {
            std::memcpy(touchRecord, reply, kTouchRecordSize);
        }
        return result;
    });
}

} // namespace GlmDev
