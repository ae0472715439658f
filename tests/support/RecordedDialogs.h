#pragma once
// The window's dialog seam answered by a test: message boxes are recorded,
// save dialogs take their answers from a queue (none left: cancelled).
#include <QStringList>
#include <array>
#include <deque>
#include <optional>
#include <vector>

#include "ui/Dialogs.h"

class TRecordedDialogs : public TDialogs {
public:
    void ShowMessage(const QString& text) override { messages.push_back(text); }
    void ShowError(const QString& text) override { errors.push_back(text); }
    std::optional<QString> PromptSaveFile(const QString& title, const QString& filter, const QString& suffix,
                                          const QString& initialName) override {
        prompts.push_back({title, filter, suffix, initialName});
        if (answers.empty()) return std::nullopt;
        const bool cancelled = !answers.front().has_value();
        const QString answer = cancelled ? QString() : *answers.front();
        answers.pop_front();
        if (cancelled) return std::nullopt;
        return answer;
    }

    QStringList messages;
    QStringList errors;
    std::vector<std::array<QString, 4>> prompts;
    std::deque<std::optional<QString>> answers;
};
