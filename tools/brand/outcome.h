#pragma once
// A value, or the reason there is none. Every step of the tool reports a
// failure this way instead of throwing (the tool is built without
// exceptions), so that main alone decides what the user sees.
//
//   Outcome<Bytes> contents = readFile(path);
//   if (!contents)
//       return contents.failure();
#include <optional>
#include <string>
#include <utility>

struct Failure {
    std::string message;
};

template <typename T>
class [[nodiscard]] Outcome {
public:
    Outcome(T value) : value_(std::move(value)) {}
    Outcome(Failure failure) : message_(std::move(failure.message)) {}

    explicit operator bool() const { return value_.has_value(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    Failure failure() const { return Failure{ message_ }; }
    const std::string& message() const { return message_; }

private:
    std::optional<T> value_;
    std::string message_;
};

// For a step that yields nothing but success or its reason for failing.
struct Done {};
using Status = Outcome<Done>;
