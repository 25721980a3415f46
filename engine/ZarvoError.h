#pragma once

#include <QString>
#include <exception>

// Failures of the game are exceptions carrying the German message that the
// top-level error report shows. A layer that adds context puts its own text
// and "\r" in front and rethrows (see Prefixed).
class EZarvoError : public std::exception
{
public:
    explicit EZarvoError(QString message) : Message(std::move(message)), Utf8(Message.toUtf8()) {}
    const char *what() const noexcept override { return Utf8.constData(); }

    // The message with prefix + "\r" in front, as a new error of the same kind.
    [[nodiscard]] EZarvoError Prefixed(const QString &prefix) const
    {
        return EZarvoError(prefix + QLatin1Char('\r') + Message);
    }

    QString Message;

private:
    QByteArray Utf8;
};

// A text that should be a number is not one ("'x' ist keine gültige Zeit").
class EConvertError : public EZarvoError
{
public:
    using EZarvoError::EZarvoError;
};

// A file operation failed; Code is one of the table codes of IOErrorFromResult.
class EInOutError : public EZarvoError
{
public:
    EInOutError(int code, QString message) : EZarvoError(std::move(message)), Code(code) {}
    int Code;
};
