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
DeviceTable& Devices() {
    static auto* table = new DeviceTable;
    return *table;
}

DriverBackend& Backend() {
    DeviceTable& table = Devices();
    if (!table.backend)
        table.backend = std::make_shared<PcSpeakerBackend>();
    return *table.backend;
}

template <typename Record> Record* RecordIn(void* buffer, uint32_t size) {
    return buffer != nullptr && size >= sizeof(Record) ? static_cast<Record*>(buffer) : nullptr;
}

} // namespace

bool PortDriverDevice::Request(uint32_t code, void* buffer, uint32_t size, uint32_t& output) {
    switch (code) {
    case kDriverVersionRequest:
        if (auto* data = RecordIn<DriverVersionData>(buffer, size)) {
            Version(*data);
            output = 0;
            return true;
        }
        return false;
    case kDriverClaimCardRequest:
        if (auto* card = RecordIn<DriverCard>(buffer, size)) {
            card->cardHandle = 0;
            if (card->rangeCount >= 1 && card->rangeCount <= kDriverMaxRanges)
                Claim(*card);
            output = 0;
            return true;
        }
        return false;
    case kDriverReleaseCardRequest:
        if (auto* card = RecordIn<DriverCard>(buffer, size); card && Release(*card)) {
            output = 0;
            return true;
        }
        return false;
    case kDriverTransferRequest:
        if (auto* transfer = RecordIn<DriverTransfer>(buffer, size);
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
    Devices().backend = std::move(backend);
}

DriverHandle OpenDriverDevice() {
    std::unique_ptr<DriverDevice> device = Backend().Open();
    if (!device)
        return kInvalidDriverHandle;
    DeviceTable& table = Devices();
    const DriverHandle handle = table.nextHandle++;
    table.open.emplace(handle, std::move(device));
    return handle;
}

bool DriverIoControl(DriverHandle handle, uint32_t code, void* buffer, uint32_t size,
                     uint32_t& output) {
    auto& open = Devices().open;
    auto found = open.find(handle);
    return found != open.end() && found->second->Request(code, buffer, size, output);
}

bool CloseDriverDevice(DriverHandle handle) {
    return Devices().open.erase(handle) == 1;
}

} // namespace platform
