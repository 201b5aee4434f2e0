// Result<T>: a value or an Error, the return type of every fallible core
// function. No exception crosses a core header.
#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace pw {

// Why an operation failed. The screens map codes to the messages users see.
enum class ErrorCode {
  kNotFound,      // file or folder does not exist
  kAccessDenied,  // refused by permissions, attributes or a lock
  kNoSpace,       // disk or quota full
  kIo,            // any other failure of the file layer
  kExists,        // the target exists and must not be replaced
  kDamaged,       // a file's content contradicts its own format
  kRefused,       // input that the program will not act on (unsafe or out of limits)
  kCancelled,     // the user said no
};

struct Error {
  ErrorCode code;
  std::string message;  // what and why, for logs and the command line
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}  // NOLINT: implicit by design
  Result(Error error) : state_(std::move(error)) {}  // NOLINT

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & {
    assert(ok());
    return std::get<0>(state_);
  }
  const T& value() const& {
    assert(ok());
    return std::get<0>(state_);
  }
  // By value, so `for (x : f().value())` does not refer into a dead temporary.
  T value() && {
    assert(ok());
    return std::get<0>(std::move(state_));
  }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  const Error& error() const {
    assert(!ok());
    return std::get<1>(state_);
  }

 private:
  std::variant<T, Error> state_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)), ok_(false) {}  // NOLINT

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const Error& error() const {
    assert(!ok_);
    return error_;
  }

 private:
  Error error_{ErrorCode::kIo, {}};
  bool ok_ = true;
};

inline Error make_error(ErrorCode code, std::string message) {
  return Error{code, std::move(message)};
}

}  // namespace pw

// Propagates a failed Result<void> (or any Result) out of the calling function.
#define PW_TRY(expr)                          \
  do {                                        \
    auto pw_try_result_ = (expr);             \
    if (!pw_try_result_.ok()) return pw_try_result_.error(); \
  } while (false)
