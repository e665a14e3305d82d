// Runs a piece of cleanup when a scope ends, on every way out, exceptions
// included: the restore that a `catch (...) { restore; throw; }` block wrote
// by hand, which a new early return could skip. Named guards for the
// commonest restores build on it: TDisableControls (DB.h) and TBusyCursor
// (Screen.h).
#pragma once

#include <exception>
#include <utility>

// Undo in the reverse order of doing: declare the guard right after the
// change it undoes. While an exception is already unwinding the scope, an
// exception thrown by the cleanup is dropped (the first failure is the one
// to report; a second would end the program); otherwise it propagates.
template <class F>
class [[nodiscard]] ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)), exceptions_(std::uncaught_exceptions()) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() noexcept(false) {
        if (!armed_) return;
        if (std::uncaught_exceptions() > exceptions_) {
            try {
                f_();
            } catch (...) {}
        } else {
            f_();
        }
    }
    // The work succeeded and its cleanup must not run (a rollback after a
    // commit, say).
    void Dismiss() { armed_ = false; }

private:
    F f_;
    int exceptions_;
    bool armed_ = true;
};
