#pragma once

#include <mutex>

namespace Sync {

/// A lock the owning thread may take again (recursive).
class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    virtual ~CriticalSection() = default;

    virtual void Lock() { m_mutex.lock(); }
    virtual void Unlock() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

/// Holds a Lock()/Unlock() object locked for its own lifetime.
template <class Lockable = CriticalSection>
class AutoLock {
public:
    explicit AutoLock(Lockable& lockable) : m_lockable(lockable) { m_lockable.Lock(); }
    ~AutoLock() { m_lockable.Unlock(); }
    AutoLock(const AutoLock&) = delete;
    AutoLock& operator=(const AutoLock&) = delete;

private:
    Lockable& m_lockable;
};

} // namespace Sync
