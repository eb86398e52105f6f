#pragma once

#include "runtime/Yielder.h"

namespace papyrant {

// Yields to Qt's event loop. The stop request is raised when the main window is closed during a command.
class QtYielder : public Yielder
{
public:
    void yield() override;
    void pause(std::chrono::milliseconds duration) override;
    bool stopRequested() const override
    {
        return m_stop;
    }
    void requestStop()
    {
        m_stop = true;
    }

private:
    bool m_stop = false;
};

} // namespace papyrant
