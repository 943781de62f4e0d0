#include "speaker.h"

#include "error_log.h"

// The driver connection through which the speaker ports are reached.
class PortAccess {
public:
    bool isOpen() const { return false; }
};

Speaker::Speaker() : m_ports(std::make_unique<PortAccess>()), m_clock(std::make_unique<LogClock>())
{
    m_open = m_ports->isOpen();
}

Speaker::~Speaker() = default;
