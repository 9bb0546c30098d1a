#pragma once

#include <QByteArray>
#include <QString>

// Files of the site are replaced whole: written under a temporary name in
// their own folder and renamed over the old one, so a web server never serves
// half a page and a run stopped at any moment leaves the last good site. A
// link at the name is replaced, never followed.
namespace SiteFiles {

// The prefix of every temporary name, so that what a killed run left behind
// can be recognised and removed.
inline constexpr char kTempPrefix[] = ".kalvik-web-";

enum class Outcome { Unchanged, Written, Failed };

struct WriteResult
{
    Outcome outcome = Outcome::Unchanged;
    QString error; // in Swedish, on failure
};

// Writes bytes to path unless the file there already holds exactly them.
WriteResult replaceIfChanged(const QString &path, const QByteArray &bytes, int mode = 0644);

// True when a regular file (not a link) is at path.
bool isFile(const QString &path);

// Removes the temporary files a killed run left in folder.
void removeLeftovers(const QString &folder);

} // namespace SiteFiles
