#pragma once

#include <QString>

#include <stdexcept>

// A failure of the link that a handler stops at and the user is told of.
class LinkError : public std::runtime_error
{
public:
    explicit LinkError(const QString& message)
        : std::runtime_error(message.toStdString())
    {
    }
    QString message() const { return QString::fromUtf8(what()); }
};
