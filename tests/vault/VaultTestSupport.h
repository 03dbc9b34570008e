#pragma once
// Shared by the locked-diary tests: a temporary folder of their own for everything, and a search of it for
// the diary's words in plain text.

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// A diary text no other file holds: found on disk, it can only be a plain copy of the diary.
inline const QString kSecretWords = QStringLiteral("誰にも言えない秘密の日記 7f3a9c");

inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file under folder whose bytes hold the words (as stored: UTF-8).
inline QStringList filesHolding(const QString& folder, const QString& words = kSecretWords) {
    const QByteArray needle = words.toUtf8();
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(needle)) found.append(file.fileName());
    }
    return found;
}

// Runs the test object with the temporary folder (TMPDIR, which Qt and SQLite read) inside a folder made for
// this run, so that a search of it covers every temporary file the program could leave.
template <typename T, typename App>
int runInOwnTemp(int argc, char* argv[]) {
    QTemporaryDir temp;
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    qputenv("SQLITE_TMPDIR", QFile::encodeName(temp.path()));
    App app(argc, argv);
    T test;
    test.temp = temp.path();
    return QTest::qExec(&test, argc, argv);
}
