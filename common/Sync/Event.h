#pragma once

#include "Waitable.h"

#include <string>

namespace Sync {

/// A settable signal. A manual-reset event stays set until Reset; an
/// auto-reset one releases a single waiter and resets itself.
class Event : public Waitable {
public:
    Event(bool manualReset, bool initialState);
    ~Event() override;

    /// Throws Win32::Win32Exception "Win32::SetEvent()".
    void Set();
    void Reset();
    /// True when set, without consuming the signal.
    bool IsSet() const;
    /// Closes the handle. Throws Win32::Win32Exception "Win32::CloseHandle()".
    void DeleteEvent();
    bool IsManualReset() const { return m_manualReset; }

protected:
    bool Acquire() const override;

private:
    bool m_manualReset;
};

class AutoResetEvent : public Event {
public:
    /// Names are not shared between processes here; the name is kept only
    /// for diagnostics.
    explicit AutoResetEvent(const std::string& name = "");
};

} // namespace Sync
