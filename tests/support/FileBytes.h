#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// A whole file's bytes in a test: what is there ("<missing>" when nothing is), and writing them.
inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
