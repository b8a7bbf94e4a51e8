#include "csv.h"

#include "platform/textcodec.h"

#include <QStringDecoder>
#include <string_view>

namespace csv {

QString CsvError::describe() const {
    return QStringLiteral("line %1: %2").arg(line_).arg(reason_);
}

QString EncodingName(Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Encoding::Gb18030:
        return QStringLiteral("GB18030");
    case Encoding::Detect:
        break;
    }
    return QStringLiteral("detected");
}

namespace {

bool DecodeUtf8(QByteArrayView bytes, QString& text) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool DecodeGb18030(QByteArrayView bytes, QString& text) {
    std::u16string wide;
    switch (
        platform::DecodeGb18030(std::string_view(bytes.data(), std::size_t(bytes.size())), wide)) {
    case platform::DecodeResult::Decoded:
        text = QString::fromUtf16(wide.data(), qsizetype(wide.size()));
        return true;
    case platform::DecodeResult::Invalid:
        return false;
    case platform::DecodeResult::Unavailable:
        break;
    }
    // Without the system's converter, Qt's own, when it was built with one (ICU).
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        throw EncodingUnavailable(QStringLiteral("this system cannot read GB18030"));
    text = decoder.decode(bytes);
    return !decoder.hasError();
}

using Decoder = bool (*)(QByteArrayView, QString&);

// The first line (from 1) whose bytes the decoder refuses. Line feeds never occur inside
// a UTF-8 or GB18030 sequence, so each line decodes on its own.
qsizetype FirstBadLine(QByteArrayView bytes, Decoder decode) {
    qsizetype line = 1;
    qsizetype start = 0;
    QString ignored;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        if (!decode(bytes.sliced(start, end - start), ignored))
            return line;
        start = end + 1;
        ++line;
    }
    return line - 1;
}

} // namespace

Decoded Decode(const QByteArray& bytes, Encoding encoding) {
    Decoded result;
    QByteArrayView body(bytes);
    const bool bom = bytes.startsWith(kUtf8Bom);
    if (bom)
        body = body.sliced(kUtf8Bom.size());
    if (encoding == Encoding::Detect)
        encoding = bom || DecodeUtf8(body, result.text) ? Encoding::Utf8 : Encoding::Gb18030;
    const Decoder decode = encoding == Encoding::Utf8 ? DecodeUtf8 : DecodeGb18030;
    if (!decode(body, result.text))
        throw CsvError(FirstBadLine(body, decode),
                       QStringLiteral("bytes that are not valid %1").arg(EncodingName(encoding)));
    // GB18030 has a byte-order mark of its own, which decodes to U+FEFF.
    if (result.text.startsWith(QChar(0xFEFF)))
        result.text.remove(0, 1);
    result.encoding = encoding;
    return result;
}

QList<Record> Parse(const QString& text) {
    QList<Record> records;
    const QChar* data = text.constData();
    const qsizetype n = text.size();
    qsizetype i = 0;
    qsizetype line = 1;
    const auto isBreak = [](QChar c) { return c == u'\r' || c == u'\n'; };
    // Steps over the line break at i, CRLF counting as one.
    const auto skipBreak = [&] {
        if (data[i] == u'\r' && i + 1 < n && data[i + 1] == u'\n')
            ++i;
        ++i;
        ++line;
    };
    while (i < n) {
        if (isBreak(data[i])) {
            skipBreak();
            continue;
        }
        Record record;
        record.line = line;
        for (;;) {
            if (i < n && data[i] == u'"') {
                const qsizetype opened = line;
                QString field;
                ++i;
                for (;;) {
                    if (i >= n)
                        throw CsvError(opened, QStringLiteral("a quoted field is not closed"));
                    const QChar c = data[i];
                    if (c == u'"') {
                        if (i + 1 < n && data[i + 1] == u'"') {
                            field += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    // A line break inside quotes is kept exactly as written.
                    if (c == u'\n' || (c == u'\r' && !(i + 1 < n && data[i + 1] == u'\n')))
                        ++line;
                    field += c;
                    ++i;
                }
                if (i < n && data[i] != u',' && !isBreak(data[i]))
                    throw CsvError(line, QStringLiteral("text after the closing quote of a field"));
                record.fields << field;
            } else {
                const qsizetype start = i;
                while (i < n && data[i] != u',' && !isBreak(data[i])) {
                    if (data[i] == u'"')
                        throw CsvError(line, QStringLiteral("a quote inside a field that does "
                                                            "not start with one"));
                    ++i;
                }
                record.fields << text.sliced(start, i - start);
            }
            if (i < n && data[i] == u',') {
                ++i;
                continue;
            }
            break;
        }
        if (i < n)
            skipBreak();
        records << record;
    }
    return records;
}

void AppendRecord(QString& out, const QStringList& fields) {
    for (qsizetype f = 0; f < fields.size(); ++f) {
        if (f > 0)
            out += u',';
        const QString& field = fields.at(f);
        bool quote = false;
        for (const QChar c : field) {
            if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
                quote = true;
                break;
            }
        }
        if (!quote) {
            out += field;
            continue;
        }
        out += u'"';
        for (const QChar c : field) {
            if (c == u'"')
                out += u'"';
            out += c;
        }
        out += u'"';
    }
    out += QLatin1String("\r\n");
}

} // namespace csv
