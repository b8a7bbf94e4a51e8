#pragma once
// Running thalvane-admin from a test, and CSV files built by the tests' own rules.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace admintest {

struct Run {
    int exitCode = -1;
    QString out;
    QString errors;
};

inline Run RunAdmin(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(THALVANE_ADMIN), arguments);
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// One CSV field as RFC 4180 writes it: in quotes, with quotes doubled, when it holds a
// comma, a quote or a line break.
inline QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Records joined by CRLF, each ended by one.
inline QString CsvText(const QList<QStringList>& records) {
    QString text;
    for (const QStringList& record : records) {
        QStringList fields;
        for (const QString& field : record)
            fields << CsvField(field);
        text += fields.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return text;
}

} // namespace admintest
