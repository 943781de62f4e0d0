#pragma once
// The hardware driver's device: a handle-based connection that answers a
// version request, claims and releases I/O port ranges and carries out byte
// port transfers. Linux has no such driver, so the device is provided by a
// backend behind a seam: the PC-speaker bridge over the kernel's input device
// (the default), or a simulated device that tests install.
#include "driver_version_record.h"

#include <cstdint>
#include <memory>

namespace platform {

using DriverHandle = intptr_t;
constexpr DriverHandle kInvalidDriverHandle = -1;

// Request codes of the driver's interface.
constexpr uint32_t kDriverVersionRequest = 0x95382443;
constexpr uint32_t kDriverClaimCardRequest = 0x9538264b;
constexpr uint32_t kDriverReleaseCardRequest = 0x953824af;
constexpr uint32_t kDriverTransferRequest = 0x95382633;

// One I/O range of a card: `bytes` consecutive ports from `port`.
struct DriverPortRange {
    uint64_t port;
    uint32_t bytes;
    uint32_t reserved;
};

constexpr uint32_t kDriverMaxRanges = 64;

// The claim request's record. The driver sets cardHandle (0 when it refused).
struct DriverCard {
    uint32_t cardHandle;
    uint32_t rangeCount; // 1 ... kDriverMaxRanges
    DriverPortRange ranges[kDriverMaxRanges];
};

enum DriverTransferOperation : uint32_t {
    kTransferReadByte = 10,
    kTransferWriteByte = 13,
};

// The transfer request's record: one byte in or out at one port.
struct DriverTransfer {
    uint64_t port;
    uint32_t operation; // a DriverTransferOperation
    uint32_t reserved;
    uint8_t value; // the byte to write, or the byte read
    uint8_t padding[15];
};
static_assert(sizeof(DriverTransfer) == 32);

// One open connection to the driver.
class DriverDevice {
  public:
    virtual ~DriverDevice() = default;
    // Carries out one request on `buffer` (`size` bytes). False when the
    // request is unknown or refused; `output` is then left as it was.
    virtual bool Request(uint32_t code, void* buffer, uint32_t size, uint32_t& output) = 0;
};

// Opens connections to one kind of driver.
class DriverBackend {
  public:
    virtual ~DriverBackend() = default;
    // nullptr when the driver is absent.
    virtual std::unique_ptr<DriverDevice> Open() = 0;
};

// A device that decodes the four requests, checks their buffers and hands
// them to the hooks below. Both backends build on it.
class PortDriverDevice : public DriverDevice {
  public:
    bool Request(uint32_t code, void* buffer, uint32_t size, uint32_t& output) final;

  protected:
    virtual void Version(DriverVersionRecord& data) = 0;
    // Sets card.cardHandle to a nonzero handle when the ranges are accepted.
    virtual void Claim(DriverCard& card) = 0;
    virtual bool Release(const DriverCard& card) = 0;
    virtual bool Transfer(DriverTransfer& transfer) = 0;
};

// Installs the backend every later OpenDriverDevice uses; nullptr restores
// the PC-speaker bridge. Devices already open stay usable.
void SetDriverBackend(std::shared_ptr<DriverBackend> backend);

// kInvalidDriverHandle when the driver is absent.
DriverHandle OpenDriverDevice();
// False for an unknown handle or a refused request (`output` unchanged).
bool DriverIoControl(DriverHandle handle, uint32_t code, void* buffer, uint32_t size,
                     uint32_t& output);
// False for an unknown handle.
bool CloseDriverDevice(DriverHandle handle);

} // namespace platform
