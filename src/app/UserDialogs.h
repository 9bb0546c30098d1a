#pragma once

#include <QString>

#include <optional>

class QCoreApplication;
class QWidget;

// Qt's Swedish catalogue, and the button texts it lacks, for every dialog
// the program shows.
void installSwedishTranslations(QCoreApplication &app);

// What the open dialog is told before it is shown.
struct OpenFileRequest
{
    QString title;
    QString filter;
    QString startPath; // the file shown now
    QString defaultSuffix;
};

// The window's modal dialogs, behind one seam so that tests can answer them.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;

    // A message with an OK button only and the program's name as caption.
    virtual void message(QWidget *parent, const QString &text) = 0;

    // The text typed, or nothing when the user cancelled.
    virtual std::optional<QString> inputText(QWidget *parent, const QString &title,
                                             const QString &prompt) = 0;

    // The chosen existing file, or an empty string when the user cancelled.
    virtual QString openFileName(QWidget *parent, const OpenFileRequest &request) = 0;
};

// The real dialogs of the platform.
class QtUserDialogs : public UserDialogs
{
public:
    void message(QWidget *parent, const QString &text) override;
    std::optional<QString> inputText(QWidget *parent, const QString &title,
                                     const QString &prompt) override;
    QString openFileName(QWidget *parent, const OpenFileRequest &request) override;
};
