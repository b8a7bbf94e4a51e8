#pragma once
// CSV files as RFC 4180 describes them: fields separated by commas, records by line
// breaks, a field that holds a comma, a quote or a line break enclosed in double quotes
// with its quotes doubled. Read in UTF-8 (with or without a byte-order mark) or GB18030;
// written in UTF-8 with a byte-order mark, records ended by CRLF.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace csv {

enum class Encoding { Detect, Utf8, Gb18030 };

// A file that cannot be read: the line of the file (from 1) where the fault is, and why.
class CsvError : public std::runtime_error {
public:
    CsvError(qsizetype line, const QString& reason)
        : std::runtime_error(reason.toStdString()), line_(line), reason_(reason) {}
    qsizetype line() const { return line_; }
    const QString& reason() const { return reason_; }
    // "line N: reason"
    QString describe() const;

private:
    qsizetype line_;
    QString reason_;
};

// The system has no converter for the encoding the file needs.
class EncodingUnavailable : public std::runtime_error {
public:
    explicit EncodingUnavailable(const QString& reason)
        : std::runtime_error(reason.toStdString()), reason_(reason) {}
    const QString& reason() const { return reason_; }

private:
    QString reason_;
};

struct Decoded {
    QString text;
    Encoding encoding = Encoding::Utf8; // the encoding the file was read in
};

// The text of a file's bytes. Detect takes a file that starts with the UTF-8 byte-order
// mark, or whose bytes are all valid UTF-8, as UTF-8, and any other as GB18030. A
// byte-order mark is not part of the text. Bytes the encoding cannot read throw CsvError
// with the line they are on; EncodingUnavailable when the system cannot read GB18030.
Decoded Decode(const QByteArray& bytes, Encoding encoding);

// One record and the line of the file it starts on.
struct Record {
    QStringList fields;
    qsizetype line = 0;
};

// The records of the text. A record ends at CRLF, LF or CR outside quotes; inside
// quotes a line break is part of the field, exactly as written. Empty lines between
// records are skipped. Throws CsvError for a quote that is never closed, text after a
// closing quote, or a quote inside a field that does not start with one.
QList<Record> Parse(const QString& text);

// Appends one record to out: each field as it is, in quotes (doubled inside) when it
// holds a comma, a quote, CR or LF; then CRLF.
void AppendRecord(QString& out, const QStringList& fields);

// The UTF-8 byte-order mark, which lets spreadsheets know the file is UTF-8.
inline const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

QString EncodingName(Encoding encoding);

} // namespace csv
