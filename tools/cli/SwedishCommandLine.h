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
