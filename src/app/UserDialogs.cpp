#include "UserDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

void QtUserDialogs::message(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kalvik"), text, QMessageBox::Ok, parent);
    box.exec();
}

std::optional<QString> QtUserDialogs::inputText(QWidget *parent, const QString &title,
                                                const QString &prompt)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtUserDialogs::openFileName(QWidget *parent, const OpenFileRequest &request)
{
    QFileDialog dialog(parent, request.title);
    dialog.setObjectName(QStringLiteral("cmDialog"));
    dialog.setNameFilter(request.filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Leta i:"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Avbryt"));
    // Start in the folder of the file shown now, with an empty name box.
    dialog.setDirectory(QFileInfo(request.startPath).absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
