#pragma once
// The outcome of an operation that can fail with a message for the user: a value, or the
// failure that says what went wrong ("<file>: <reason>"). Every such operation returns a
// Result, so a caller handles success and failure the same way everywhere.

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace qb {

// What failed, in words ready for a message box.
struct Failure {
  std::string message;
};

inline Failure fail(std::string message) {
  return Failure{std::move(message)};
}

template <typename T = void, typename Error = Failure>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // Only on success.
  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T&& operator*() && { return std::move(*this).value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  template <typename U>
  T value_or(U&& fallback) const& {
    return ok() ? value() : static_cast<T>(std::forward<U>(fallback));
  }

  // Only on failure.
  const Error& error() const { return std::get<1>(state_); }
  const std::string& message() const requires std::is_same_v<Error, Failure> {
    return error().message;
  }

 private:
  std::variant<T, Error> state_;
};

template <typename Error>
class [[nodiscard]] Result<void, Error> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)), ok_(false) {}

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const Error& error() const { return error_; }
  const std::string& message() const requires std::is_same_v<Error, Failure> {
    return error_.message;
  }

 private:
  Error error_{};
  bool ok_ = true;
};

}  // namespace qb
