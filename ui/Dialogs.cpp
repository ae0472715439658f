#include "ui/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

void TQtDialogs::ShowMessage(const QString& text) {
    QMessageBox::information(FParent, QStringLiteral("Sysquill"), text);
}

void TQtDialogs::ShowError(const QString& text) { QMessageBox::critical(FParent, QStringLiteral("Error"), text); }

std::optional<QString> TQtDialogs::PromptSaveFile(const QString& title, const QString& filter,
                                                  const QString& defaultSuffix, const QString& initialName) {
    QFileDialog dialog(FParent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    // The export replaces an existing file without asking.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
