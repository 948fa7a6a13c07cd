#pragma once
// A value, or the reason there is none. Every step of the tool reports why
// it refuses this way instead of throwing (the tool is built without
// exceptions), so that main alone decides what the user sees.
//
//   Outcome<Bytes> contents = readFile(path);
//   if (!contents)
//       return contents.refusal();
#include <optional>
#include <string>
#include <utility>

// Why the tool will not go on: a sentence for the user, all it carries. (The
// launcher's own Failure, in src/common/failure.h, keeps the message's
// constant as well; the two are not interchangeable.)
struct Refusal {
    std::string message;
};

template <typename T>
class [[nodiscard]] Outcome {
public:
    Outcome(T value) : value_(std::move(value)) {}
    Outcome(Refusal refusal) : message_(std::move(refusal.message)) {}

    explicit operator bool() const { return value_.has_value(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    Refusal refusal() const { return Refusal{ message_ }; }
    const std::string& message() const { return message_; }

private:
    std::optional<T> value_;
    std::string message_;
};

// For a step that yields nothing but success or its reason for failing.
struct Done {};
using Status = Outcome<Done>;
