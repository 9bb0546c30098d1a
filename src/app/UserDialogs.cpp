#include "UserDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <QHash>

namespace {

// The standard buttons' texts come from the platform theme, which Qt's
// Swedish catalogue does not cover: these are the ones our dialogs show.
class SwedishButtons : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QPlatformTheme") != 0)
            return {};
        static const QHash<QByteArray, QString> texts{
            {"OK", QStringLiteral("OK")},      {"Cancel", QStringLiteral("Avbryt")},
            {"Open", QStringLiteral("Öppna")}, {"Close", QStringLiteral("Stäng")},
            {"&Yes", QStringLiteral("&Ja")},   {"&No", QStringLiteral("&Nej")},
            {"Save", QStringLiteral("Spara")}, {"Apply", QStringLiteral("Verkställ")},
        };
        return texts.value(QByteArray(sourceText));
    }
    bool isEmpty() const override { return false; }
};

} // namespace

void installSwedishTranslations(QCoreApplication &app)
{
    auto *catalogue = new QTranslator(&app);
    if (catalogue->load(QLocale(QLocale::Swedish, QLocale::Sweden), QStringLiteral("qt"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(catalogue);
    QCoreApplication::installTranslator(new SwedishButtons(&app));
}

void QtUserDialogs::message(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kalvik"), text, QMessageBox::Ok, parent);
    box.exec();
}

std::optional<QString> QtUserDialogs::inputText(QWidget *parent, const QString &title,
                                                const QString &prompt)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Avbryt"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
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
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Filnamn:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Filtyp:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("\u00d6ppna"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Avbryt"));
    // Start in the folder of the file shown now, with an empty name box.
    dialog.setDirectory(QFileInfo(request.startPath).absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
