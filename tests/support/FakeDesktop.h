#pragma once

#include "desktop/Desktop.h"

#include <QStringList>

#include <deque>
#include <optional>

namespace korvane::test {

// Answers for the user in tests: records every message and question, and gives the answers
// queued beforehand (a folder, a save path, Yes/No). An unqueued question is answered "No", an
// unqueued dialog is cancelled.
class FakeDesktop : public Desktop {
public:
    QStringList messages;
    QStringList errors;
    QStringList questions; // "title|text"
    QStringList opened;
    QStringList folderMessages;   // "text|path"
    QStringList replaceQuestions; // the paths asked about
    QStringList folderCaptions;
    QStringList folderPreselections;
    int beeps = 0;
    QString clipboard;

    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    std::deque<std::optional<QString>> saveFileAnswers;
    std::deque<bool> replaceAnswers;
    bool shellOpens = true;       // whether an application takes the files handed to the shell
    QStringList saveFileRequests; // "folder|fileName"
    QStringList saveFileFilters;

    void showMessage(const QString& text) override { messages << text; }
    void showError(const QString& text) override { errors << text; }
    bool askYesNo(const QString& title, const QString& text) override {
        questions << title + u'|' + text;
        return take(yesNoAnswers).value_or(false);
    }
    std::optional<QString> chooseFolder(const QString& caption, const QString& preselect) override {
        folderCaptions << caption;
        folderPreselections << preselect;
        return take(folderAnswers).value_or(std::nullopt);
    }
    std::optional<QString> chooseSaveFile(const QString& folder, const QString& fileName,
                                          const QString& filter) override {
        saveFileRequests << folder + u'|' + fileName;
        saveFileFilters << filter;
        return take(saveFileAnswers).value_or(std::nullopt);
    }
    bool openWithShell(const QString& path) override {
        opened << path;
        return shellOpens;
    }
    void showMessageWithFolder(const QString& text, const QString& path) override {
        folderMessages << text + u'|' + path;
    }
    bool confirmReplace(const QString& path) override {
        replaceQuestions << path;
        return take(replaceAnswers).value_or(false);
    }
    void setClipboardText(const QString& text) override { clipboard = text; }
    void beep() override { ++beeps; }

private:
    template <typename T> static std::optional<T> take(std::deque<T>& queue) {
        if (queue.empty())
            return std::nullopt;
        T value = std::move(queue.front());
        queue.pop_front();
        return value;
    }
};

} // namespace korvane::test
