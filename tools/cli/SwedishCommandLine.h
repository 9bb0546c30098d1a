#pragma once

#include <QTranslator>

// Qt has no Swedish texts for its command-line parser; the tools speak
// Swedish like the window, so they install these for the parser's own words
// (usage, headings, unknown options, missing values).
class SwedishCommandLine : public QTranslator
{
public:
    using QTranslator::QTranslator;
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override;
    bool isEmpty() const override { return false; }
};

// How every tool words a wrong option, so that they all read alike: the
// program, what is wrong, and where the help is, on two lines (exit status 2).
QString optionErrorText(const QString &program, const QString &why);

// What is wrong with an option's value: "--NAME ska vara WHAT, inte 'VALUE'."
QString badOptionValue(const QString &option, const QString &what, const QString &value);
