#pragma once
// The window's message boxes and save dialog behind one seam, so tests
// answer them instead of a person.
#include <QString>
#include <optional>

class QWidget;

class TDialogs {
public:
    virtual ~TDialogs() = default;
    // A plain notice ("No further hits found").
    virtual void ShowMessage(const QString& text) = 0;
    // An error that escaped a command.
    virtual void ShowError(const QString& text) = 0;
    // The save dialog; nullopt when cancelled. initialName is offered first.
    virtual std::optional<QString> PromptSaveFile(const QString& title, const QString& filter,
                                                  const QString& defaultSuffix, const QString& initialName) = 0;
};

// The real thing: QMessageBox and QFileDialog, modal over parent.
class TQtDialogs : public TDialogs {
public:
    explicit TQtDialogs(QWidget* parent) : FParent(parent) {}
    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    std::optional<QString> PromptSaveFile(const QString& title, const QString& filter, const QString& defaultSuffix,
                                          const QString& initialName) override;

private:
    QWidget* FParent;
};
