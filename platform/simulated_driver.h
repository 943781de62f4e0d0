#pragma once
// A driver backend for tests: absent, present with a given version, or
// present but refusing every port claim. Like a real driver it grants a port
// to one card at a time. It keeps a byte per port, so that a
// read gives back what was written or preset, and records every transfer it
// carries out. Copies share one state, so a test keeps a copy to inspect what
// the installed backend did.
#include "driver_device.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct SimulatedTransfer {
    uint64_t port;
    bool write;    // false: read
    uint8_t value; // written, or given back

    bool operator==(const SimulatedTransfer&) const = default;
};

class SimulatedDriver : public DriverBackend {
  public:
    enum class Mode { Absent, Present, RefusesPorts };

    explicit SimulatedDriver(Mode mode = Mode::Absent, uint32_t version = 0,
                             std::string versionText = "simulated driver");

    std::unique_ptr<DriverDevice> Open() override;

    void SetMode(Mode mode);
    void SetVersion(uint32_t version);
    void SetPortByte(uint64_t port, uint8_t value);
    uint8_t PortByte(uint64_t port) const;

    const std::vector<SimulatedTransfer>& Transfers() const;
    void ClearTransfers();
    int Opens() const;            // successful opens so far
    int OpenDevices() const;      // devices not yet closed
    int Requests() const;         // requests of any kind so far
    int Claims() const;           // accepted claims so far
    int ActiveClaims() const;     // accepted and not yet released
    int RefusedTransfers() const; // transfers at ports no claim covers

    struct State {
        Mode mode;
        uint32_t version;
        std::string versionText;
        std::map<uint64_t, uint8_t> ports;
        std::vector<SimulatedTransfer> transfers;
        std::map<uint32_t, std::vector<uint64_t>> claims; // card handle -> ports
        uint32_t nextCard = 1;
        int opens = 0, openDevices = 0, requests = 0, claimCount = 0, refusedTransfers = 0;
    };

  private:
    std::shared_ptr<State> m_state;
};

} // namespace platform
