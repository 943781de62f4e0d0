#include "simulated_driver.h"

#include <algorithm>
#include <cstdio>

namespace platform {

namespace {

constexpr uint32_t kMaxRangeBytes = 0x10000; // the whole I/O port space

class SimulatedDevice : public PortDriverDevice {
  public:
    explicit SimulatedDevice(std::shared_ptr<SimulatedDriver::State> state)
        : m_state(std::move(state)) {
        ++m_state->opens;
        ++m_state->openDevices;
    }
    ~SimulatedDevice() override { --m_state->openDevices; }
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

  protected:
    void Version(DriverVersionRecord& data) override {
        ++m_state->requests;
        data = {};
        data.dwVer = m_state->version;
        std::snprintf(data.cVer, sizeof data.cVer, "%s", m_state->versionText.c_str());
    }

    void Claim(DriverCard& card) override {
        ++m_state->requests;
        if (m_state->mode == SimulatedDriver::Mode::RefusesPorts)
            return;
        std::vector<uint64_t> ports;
        for (uint32_t i = 0; i < card.rangeCount; ++i)
            if (card.ranges[i].bytes == 0 || card.ranges[i].bytes > kMaxRangeBytes)
                return;
        for (uint32_t i = 0; i < card.rangeCount; ++i)
            for (uint32_t b = 0; b < card.ranges[i].bytes; ++b)
                ports.push_back(card.ranges[i].port + b);
        for (uint64_t port : ports)
            if (Claimed(port))
                return; // a port belongs to one card at a time
        card.cardHandle = m_state->nextCard++;
        m_state->claims.emplace(card.cardHandle, std::move(ports));
        ++m_state->claimCount;
    }

    bool Release(const DriverCard& card) override {
        ++m_state->requests;
        return m_state->claims.erase(card.cardHandle) == 1;
    }

    bool Transfer(DriverTransfer& transfer) override {
        ++m_state->requests;
        if (!Claimed(transfer.port)) {
            ++m_state->refusedTransfers;
            return false;
        }
        uint8_t& port = m_state->ports[transfer.port];
        if (transfer.operation == kTransferWriteByte)
            port = transfer.value;
        else if (transfer.operation == kTransferReadByte)
            transfer.value = port;
        else
            return false;
        m_state->transfers.push_back(
            {transfer.port, transfer.operation == kTransferWriteByte, transfer.value});
        return true;
    }

  private:
    bool Claimed(uint64_t port) const {
        return std::any_of(m_state->claims.begin(), m_state->claims.end(), [port](const auto& c) {
            return std::find(c.second.begin(), c.second.end(), port) != c.second.end();
        });
    }

    std::shared_ptr<SimulatedDriver::State> m_state;
};

} // namespace

SimulatedDriver::SimulatedDriver(Mode mode, uint32_t version, std::string versionText)
    : m_state(std::make_shared<State>()) {
    m_state->mode = mode;
    m_state->version = version;
    m_state->versionText = std::move(versionText);
}

std::unique_ptr<DriverDevice> SimulatedDriver::Open() {
    if (m_state->mode == Mode::Absent)
        return nullptr;
    return std::make_unique<SimulatedDevice>(m_state);
}

void SimulatedDriver::SetMode(Mode mode) {
    m_state->mode = mode;
}
void SimulatedDriver::SetVersion(uint32_t version) {
    m_state->version = version;
}
void SimulatedDriver::SetPortByte(uint64_t port, uint8_t value) {
    m_state->ports[port] = value;
}

uint8_t SimulatedDriver::PortByte(uint64_t port) const {
    auto found = m_state->ports.find(port);
    return found == m_state->ports.end() ? 0 : found->second;
}

const std::vector<SimulatedTransfer>& SimulatedDriver::Transfers() const {
    return m_state->transfers;
}

void SimulatedDriver::ClearTransfers() {
    m_state->transfers.clear();
}
int SimulatedDriver::Opens() const {
    return m_state->opens;
}
int SimulatedDriver::OpenDevices() const {
    return m_state->openDevices;
}
int SimulatedDriver::Requests() const {
    return m_state->requests;
}
int SimulatedDriver::Claims() const {
    return m_state->claimCount;
}
int SimulatedDriver::ActiveClaims() const {
    return static_cast<int>(m_state->claims.size());
}
int SimulatedDriver::RefusedTransfers() const {
    return m_state->refusedTransfers;
}

} // namespace platform
