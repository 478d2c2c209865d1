#pragma once

#include <QString>

#include <optional>
#include <stdexcept>

namespace korvane {

// A file that could not be written or read, with what we know of the cause.
struct FileProblem {
    enum class Action { Create, Open };
    Action action = Action::Create;
    QString path;   // as the user named it
    int code = 0;   // the system's errno; 0 when the reason is our own
    QString reason; // the reason as korvane-cli prints it
};

// "Cannot create file \"path\". reason" (or "Cannot open file ..."): the line korvane-cli prints.
QString fileProblemText(const FileProblem& problem);

// The window's message: whole in the interface's language, naming the file, the cause (the
// errno, or else what the file system shows now) and what to do.
QString explainFileProblem(const FileProblem& problem);

// A failure the user is told about in words: the window's error box, the command line's one
// line on stderr. Exports, base saves and set.ini writes all fail this way.
class ReportedError : public std::runtime_error {
public:
    explicit ReportedError(const QString& message);
    explicit ReportedError(const FileProblem& problem);
    // A file problem whose korvane-cli line is not the usual one.
    ReportedError(const QString& message, const FileProblem& problem);
    // As korvane-cli prints it.
    const QString& message() const { return m_message; }
    // As the window shows it.
    QString userMessage() const;
    const std::optional<FileProblem>& problem() const { return m_problem; }

private:
    QString m_message;
    std::optional<FileProblem> m_problem;
};

} // namespace korvane
