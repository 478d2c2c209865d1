#pragma once

#include <QString>

#include <stdexcept>

namespace korvane {

// A failure the user is told about in words: the window's error box, the command line's one
// line on stderr. Exports, base saves and set.ini writes all fail this way.
class ReportedError : public std::runtime_error {
public:
    explicit ReportedError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace korvane
