#pragma once

#include "platform/core/PgError.h"

#include <QString>
#include <optional>
#include <utility>
#include <variant>

// What kept an operation from succeeding: a sentence she can read, and the runtime's error number where a
// window shows the failure in a "PG-Error" box with the number's standard text (0: the message is shown).
struct Failure {
    QString message;
    int number = 0;
    bool cancelled = false;  // she stopped the work herself: nothing went wrong, and nothing is to be shown

    static Failure of(const PgError& error) { return {error.description(), error.number()}; }
    static Failure cancel() { return {QString(), 0, true}; }
    // The same as the error the handlers' traps catch.
    PgError error() const { return PgError(number != 0 ? number : int(PgError::Engine), message); }
};

// A value, or the failure that kept it from being made: how every operation that the windows and the command
// line both call reports, so that each front end only chooses how to show it.
template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: a value converts
    Result(Failure failure)
        : state_(std::in_place_index<1>, std::move(failure)) {}  // NOLINT: so does a failure

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<0>(state_); }
    T& value() & { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }
    const Failure& failure() const { return std::get<1>(state_); }
    // The failure's message; empty for a value.
    QString message() const { return ok() ? QString() : failure().message; }

  private:
    std::variant<T, Failure> state_;
};

template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)) {}  // NOLINT: a failure converts

    bool ok() const { return !failure_; }
    explicit operator bool() const { return ok(); }
    const Failure& failure() const { return *failure_; }
    QString message() const { return ok() ? QString() : failure_->message; }

  private:
    std::optional<Failure> failure_;
};

// Runs work that reports by throwing PgError (the data file's statements do, for the handlers' error traps)
// and gives its outcome as a Result.
template <typename Work>
auto attempt(Work&& work) -> Result<decltype(work())> {
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            return {};
        } else {
            return work();
        }
    } catch (const PgError& error) {
        return Failure::of(error);
    }
}
