#pragma once
// What an operation that can fail gives back: its value, or why it failed as
// a message in Chinese (ready to show, or to log). Failures are returned, not
// written through a pointer the caller has to remember to pass:
//
//   base::Result<QString> r = convert(...);
//   if (!r) show(r.error());
//   use(r.value());
//
// `return base::failure(text);` converts to a Result of any type.

#include <QString>
#include <optional>
#include <utility>

namespace base {

struct Failure {
    QString message;
};

inline Failure failure(QString message) {
    return Failure{std::move(message)};
}

template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure f) : error_(std::move(f.message)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    // The value; only after ok().
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    // Why it failed; empty after success.
    const QString& error() const { return error_; }

  private:
    std::optional<T> value_;
    QString error_;
};

template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure f) : ok_(false), error_(std::move(f.message)) {}

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const QString& error() const { return error_; }

  private:
    bool ok_ = true;
    QString error_;
};

}  // namespace base
