#pragma once

#include <QString>

#include <optional>
#include <utility>

// Success, or a sentence saying what went wrong. The core returns these;
// the windows turn a failure into one message.
class Status
{
public:
    static Status success() { return Status(); }
    static Status failure(QString error) { return Status(std::move(error)); }

    bool ok() const { return m_error.isEmpty(); }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return m_error; }

private:
    Status() = default;
    explicit Status(QString error) : m_error(std::move(error))
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("unknown error");
    }
    QString m_error;
};

// A value, or the reason there is none.
template<typename T>
class Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Status failure) : m_error(failure.error()) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    T &value() { return *m_value; }
    const T &value() const { return *m_value; }
    T take() { return std::move(*m_value); }
    const QString &error() const { return m_error; }

private:
    std::optional<T> m_value;
    QString m_error;
};
