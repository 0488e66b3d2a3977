// How code that can fail says so: a Result holds either the value or an
// Error, one line that says what went wrong. Library code returns it and
// never prints or ends the process; the program decides what the user sees
// (see ARCHITECTURE.md, "Errors"). Result is [[nodiscard]] and every target
// builds with -Werror=unused-result, so an ignored failure does not compile.
// It sits in the lowest layer so that every layer reports the same way.
#pragma once

#include <string>
#include <utility>
#include <variant>

enum class ErrorKind {
    Other,
    Missing,      // nothing exists where something was looked for
    OutOfMemory,  // the memory asked for was refused
};

struct Error {
    std::string message;  // one line, without the program's name or a line break
    ErrorKind kind = ErrorKind::Other;
};

inline Error failure(std::string message, ErrorKind kind = ErrorKind::Other) { return Error{std::move(message), kind}; }

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : state(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : state(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state.index() == 0; }
    explicit operator bool() const { return ok(); }
    // Only when ok().
    T& value() { return std::get<0>(state); }
    const T& value() const { return std::get<0>(state); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    // Only when !ok().
    const Error& error() const { return std::get<1>(state); }
    const std::string& message() const { return error().message; }

private:
    std::variant<T, Error> state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : failed(true), err(std::move(error)) {}

    bool ok() const { return !failed; }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return err; }
    const std::string& message() const { return err.message; }

private:
    bool failed = false;
    Error err;
};

// The success of a Result<void>, for symmetry with returning a value.
inline Result<void> success() { return Result<void>(); }
