#ifndef SCOPE_GUARD_H
#define SCOPE_GUARD_H

#include <utility>

// Runs one roll-back when the scope it guards ends, on every exit, unless
// the work was kept (dismiss). A scenario writes each roll-back once, as the
// guard's function, instead of before each of its failure exits:
//
//     ScopeGuard unmount([this] { fstabModel.unmountAll(); });
//     if (!step())
//         return false;        // unmounted here
//     unmount.dismiss();       // the mounts stay
//
// runNow() undoes at once (for a message that must follow the roll-back);
// the roll-back runs at most once either way.
template <typename RollBack> class ScopeGuard
{
public:
    explicit ScopeGuard(RollBack rollBack)
        : m_rollBack(std::move(rollBack))
    { }
    ~ScopeGuard() { runNow(); }

    void dismiss() { m_armed = false; }
    void runNow()
    {
        if (!m_armed)
            return;
        m_armed = false;
        m_rollBack();
    }

    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

private:
    RollBack m_rollBack;
    bool m_armed = true;
};

#endif // SCOPE_GUARD_H
