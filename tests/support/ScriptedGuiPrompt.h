#pragma once
// The editor's prompt seam for GUI tests: records every message and question
// and answers from scripts, never showing a window. Modal dialogs go to
// `onModal` (fill fields, press buttons, return the dialog's result); without
// it they are rejected as if closed, or ScriptModalRuns scripts them in turn.
#include "framework/GuiPrompt.h"
#include "support/RecordingPrompt.h"

#include <QDialog>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumacut {

class ScriptedGuiPrompt : public GuiPrompt {
public:
    void Message(const std::string& text, PromptIcon icon) override { messages.push_back({text, icon}); }
    int ChooseOutput() override
    {
        ++outputQuestions;
        if (outputChoices.empty())
            return kOutputTwoColor;
        int choice = outputChoices.front();
        outputChoices.pop_front();
        return choice;
    }
    int RunModal(QDialog& dialog) override
    {
        modalTitles.push_back(dialog.windowTitle());
        return onModal ? onModal(dialog) : QDialog::Rejected;
    }
    QString GetOpenFileName(const FileDialogRequest& request) override
    {
        openRequests.push_back(request);
        return Next(openNames);
    }
    QString GetSaveFileName(const FileDialogRequest& request) override
    {
        saveRequests.push_back(request);
        return Next(saveNames);
    }
    SaveAnswer AskToSave(const QString& text) override
    {
        saveQuestions.push_back(text);
        if (saveAnswers.empty())
            return SaveAnswer::Cancel;
        SaveAnswer answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    std::optional<QColor> ChooseColor(const QColor& initial) override
    {
        colorQuestions.push_back(initial);
        if (colorAnswers.empty())
            return std::nullopt;
        QColor answer = colorAnswers.front();
        colorAnswers.pop_front();
        return answer;
    }

    // Texts of the messages, without the information boxes when asked.
    std::vector<std::string> Texts(bool withInformation = true) const
    {
        return RecordingPrompt::TextsOf(messages, withInformation);
    }

    std::vector<RecordingPrompt::Entry> messages;
    std::deque<int> outputChoices;
    int outputQuestions = 0;
    std::function<int(QDialog&)> onModal;
    std::vector<QString> modalTitles;
    std::deque<QString> openNames;  // answers; empty string or none = cancelled
    std::deque<QString> saveNames;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    std::deque<SaveAnswer> saveAnswers; // none left = Cancel
    std::vector<QString> saveQuestions;
    std::deque<QColor> colorAnswers;
    std::vector<QColor> colorQuestions;

private:
    static QString Next(std::deque<QString>& names)
    {
        if (names.empty())
            return QString();
        QString name = names.front();
        names.pop_front();
        return name;
    }
};

// Scripted modal runs in order: each action gets the dialog (initialised,
// not shown) and returns its result code. Unscripted runs are rejected.
inline void ScriptModalRuns(ScriptedGuiPrompt& prompt, std::deque<std::function<int(QDialog&)>> actions)
{
    auto queue = std::make_shared<std::deque<std::function<int(QDialog&)>>>(std::move(actions));
    prompt.onModal = [queue](QDialog& d) {
        if (queue->empty()) {
            d.reject();
            return d.result();
        }
        auto action = std::move(queue->front());
        queue->pop_front();
        return action(d);
    };
}

} // namespace lumacut
