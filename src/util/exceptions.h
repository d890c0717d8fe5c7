// The package's exception classes. Messages are the package's own Windows-1251 texts.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace lm {

// The general exception: a message, exactly the package's text (Windows-1251).
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : m_message(std::move(message)) {}
    const std::string& Message() const noexcept { return m_message; }
    // Handlers may add to the message and rethrow the same exception (throw;), keeping its class.
    void SetMessage(std::string message) { m_message = std::move(message); }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

// The silent abort: ends an operation without any message; the caller that started the work
// catches it.
class EAbort : public Exception {
public:
    EAbort() : Exception(std::string()) {}
};

// A text that does not convert to a number, date or time.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// String list misuse: "SListIndexError", "SDuplicateString", "SSortedListError"; Data is the
// offending index (or 0).
class EStringListError : public Exception {
public:
    EStringListError(std::string message, int64_t data) : Exception(std::move(message)), m_data(data) {}
    int64_t Data() const noexcept { return m_data; }

private:
    int64_t m_data;
};

// A failed file or stream operation; ErrorCode is the system's error number (0 when none).
class EInOutError : public Exception {
public:
    EInOutError(std::string message, int errorCode = 0) : Exception(std::move(message)), m_errorCode(errorCode) {}
    int ErrorCode() const noexcept { return m_errorCode; }

private:
    int m_errorCode;
};

// An argument to Format: text (Windows-1251 bytes), an integer or a floating-point value.
struct FormatArg {
    std::variant<std::string_view, int64_t, double> value;
    FormatArg(std::string_view s) : value(s) {}
    FormatArg(const std::string& s) : value(std::string_view(s)) {}
    FormatArg(const char* s) : value(std::string_view(s)) {}
    template <typename T>
        requires std::is_integral_v<T>
    FormatArg(T n) : value(static_cast<int64_t>(n)) {}
    FormatArg(double d) : value(d) {}
};

// Formats a message with the placeholders the package's messages use: %s (text), %d (integer),
// %f / %g (number, as FloatToStr), %% (a percent sign). Surplus placeholders stay as written;
// surplus arguments are ignored.
std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args);

} // namespace lm
