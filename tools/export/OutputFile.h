#pragma once

#include <QFile>
#include <QString>

// An output written beside its name and renamed over it when complete, all
// through the descriptor of its folder: neither a link under the name nor a
// folder renamed meanwhile can send the bytes elsewhere. A name that is a
// symbolic link is refused (QSaveFile would replace the file it points to).
class OutputFile
{
public:
    explicit OutputFile(QString path);
    ~OutputFile(); // an output not committed leaves nothing behind
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // false with error() set when the output cannot be started.
    bool open();
    QFile &device() { return m_file; }
    // Syncs the bytes and puts them under the name; false with error() set.
    bool commit();
    QString error() const { return m_error; }

private:
    void discard();

    QString m_path;
    QByteArray m_name;     // in the folder
    QByteArray m_tempName; // in the folder, while written
    int m_folder = -1;
    QFile m_file;
    QString m_error;
};
