#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The Swedish messages for a sensor library that cannot be used. Every way
// the loader can fail is told here, so that a new check adds its case here.

// Where the loader looked for the library, and what it found there.
struct LibraryLookup
{
    enum class Outcome { Missing, NotLoadable, Untrusted };

    QString place; // a path, or the system's search path in words
    Outcome outcome;
    QString detail; // the system's own words on a file that would not load, or
                    // which file or folder another account could replace
};

// The library could not be loaded from any of the places looked in.
QString libraryNotLoadedMessage(const QString &library, const std::vector<LibraryLookup> &lookups);

// The library was loaded from path but lacks some of the functions the program calls.
QString functionsMissingMessage(const QString &library, const QString &path,
                                const QStringList &missing);

// The reason for no reading when the library or the function is not there.
QString libraryUnusableReason();

// The reason for no reading when the library answered with a number that no
// SMT160 can give.
QString implausibleReadingReason();

// The system's search path, as the messages name it.
QString systemSearchPathText();
