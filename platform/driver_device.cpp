#include "driver_device.h"

#include "pcspeaker_driver.h"

#include <map>

namespace platform {

namespace {

struct DeviceTable {
    std::shared_ptr<DriverBackend> backend;
    std::map<DriverHandle, std::unique_ptr<DriverDevice>> open;
    DriverHandle nextHandle = 1;
};

// Never destroyed: a Speaker held by another static object may still close
// its device while the process exits.
DeviceTable& devices() {
    static auto* table = new DeviceTable;
    return *table;
}

DriverBackend& currentBackend() {
    DeviceTable& table = devices();
    if (!table.backend)
        table.backend = std::make_shared<PcSpeakerBackend>();
    return *table.backend;
}

template <typename Record> Record* recordIn(void* buffer, uint32_t size) {
    return buffer != nullptr && size >= sizeof(Record) ? static_cast<Record*>(buffer) : nullptr;
}

} // namespace

bool PortDriverDevice::Request(uint32_t code, void* buffer, uint32_t size, uint32_t& output) {
    switch (code) {
    case kDriverVersionRequest:
        if (auto* data = recordIn<DriverVersionRecord>(buffer, size)) {
            Version(*data);
            output = 0;
            return true;
        }
        return false;
    case kDriverClaimCardRequest:
        if (auto* card = recordIn<DriverCard>(buffer, size)) {
            card->cardHandle = 0;
            if (card->rangeCount >= 1 && card->rangeCount <= kDriverMaxRanges)
                Claim(*card);
            output = 0;
            return true;
        }
        return false;
    case kDriverReleaseCardRequest:
        if (auto* card = recordIn<DriverCard>(buffer, size); card && Release(*card)) {
            output = 0;
            return true;
        }
        return false;
    case kDriverTransferRequest:
        if (auto* transfer = recordIn<DriverTransfer>(buffer, size);
            transfer && Transfer(*transfer)) {
            output = 0;
            return true;
        }
        return false;
    default:
        return false;
    }
}

void SetDriverBackend(std::shared_ptr<DriverBackend> backend) {
    devices().backend = std::move(backend);
}

DriverHandle OpenDriverDevice() {
    std::unique_ptr<DriverDevice> device = currentBackend().Open();
    if (!device)
        return kInvalidDriverHandle;
    DeviceTable& table = devices();
    const DriverHandle handle = table.nextHandle++;
    table.open.emplace(handle, std::move(device));
    return handle;
}

bool DriverIoControl(DriverHandle handle, uint32_t code, void* buffer, uint32_t size,
                     uint32_t& output) {
    auto& open = devices().open;
    auto found = open.find(handle);
    return found != open.end() && found->second->Request(code, buffer, size, output);
}

bool CloseDriverDevice(DriverHandle handle) {
    return devices().open.erase(handle) == 1;
}

} // namespace platform
