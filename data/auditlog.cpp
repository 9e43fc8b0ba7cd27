#include "data/auditlog.h"

#include "data/connection.h"
#include "data/dataset.h"
#include "foundation/dates.h"
#include "foundation/textfile.h"

#include <QFile>

QString EscapeAuditValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '|': out += QLatin1String("\\p"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\n': out += QLatin1String("\\n"); break;
        default: out += c; break;
        }
    }
    return out;
}

QString UnescapeAuditValue(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(++i);
        switch (next.unicode()) {
        case 'p': out += u'|'; break;
        case 'r': out += u'\r'; break;
        case 'n': out += u'\n'; break;
        default: out += next; break;
        }
    }
    return out;
}

namespace {

// The one place the record text is built.
template <typename TextOf> QString RecordText(TDataSet& dataSet, TextOf&& textOf)
{
    QString text = QStringLiteral("|");
    for (int i = 0; i < dataSet.FieldCount(); ++i) {
        TField* field = dataSet.Field(i);
        if (!field || field->IsCalculated())
            continue;
        text += EscapeAuditValue(textOf(*field));
        text += u'|';
    }
    return text;
}

} // namespace

QString AuditRecordText(TDataSet& dataSet)
{
    return RecordText(dataSet, [](TField& field) { return field.AsString(); });
}

QString AuditRecordText(TDataSet& layout, const QHash<QString, QVariant>& storedByColumn)
{
    return RecordText(layout, [&](TField& field) { return field.TextOf(storedByColumn.value(field.FieldName().toUpper())); });
}

QString AuditTimeText(const QDateTime& when)
{
    return DateTextOf(when.date()) + QLatin1Char(' ') + when.time().toString(QStringLiteral("hh:mm:ss"));
}

QString AuditLogFile(const QString& administrationFolder, const QString& tableName)
{
    return administrationFolder + tableName + QStringLiteral(".bup");
}

namespace {

// The last line of the file, read from its end (logs grow all day; only the tail matters).
QString LastLine(QFile& file)
{
    const qint64 size = file.size();
    qint64 chunk = 4096;
    for (;;) {
        const qint64 start = qMax<qint64>(0, size - chunk);
        if (!file.seek(start))
            return {};
        QByteArray tail = file.read(size - start);
        while (tail.endsWith('\n') || tail.endsWith('\r'))
            tail.chop(1);
        const int end = int(qMax(tail.lastIndexOf('\n'), tail.lastIndexOf('\r')));
        if (end >= 0 || start == 0)
            return DecodeWindows1252(tail.mid(end + 1));
        chunk *= 4;
    }
}

} // namespace

QString LastAuditState(const QString& file)
{
    QFile log(file);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    const QString line = LastLine(log);
    const int bar = line.indexOf(u'|');
    return bar < 0 ? QString() : line.mid(bar);
}

bool AppendAuditLine(TDatabase* db, const QString& file, const QString& recordText, const QDateTime& when)
{
    return AppendAuditLines(db, file, {recordText}, when) > 0;
}

int AppendAuditLines(TDatabase* db, const QString& file, const QStringList& recordTexts, const QDateTime& when)
{
    if (recordTexts.isEmpty())
        return 0;
    QFile log(file);
    const bool existed = log.exists();
    if (!log.open(QIODevice::ReadWrite))
        return 0;
    const qint64 size = log.size();
    QString previous;
    if (size > 0) {
        const QString line = LastLine(log);
        const int bar = line.indexOf(u'|');
        if (bar >= 0)
            previous = line.mid(bar);
    }
    const QString time = AuditTimeText(when);
    QByteArray bytes;
    int written = 0;
    for (const QString& text : recordTexts) {
        if (text == previous)
            continue;
        bytes += EncodeWindows1252(time + text);
        bytes += "\r\n";
        previous = text;
        ++written;
    }
    if (written == 0)
        return 0;
    if (size > 0) {
        // A line cut short (a crash while appending) must not swallow the new one.
        log.seek(size - 1);
        if (log.read(1) != "\n")
            bytes.prepend("\r\n");
    }
    if (!log.seek(size) || log.write(bytes) != bytes.size()) {
        log.resize(size);
        return 0;
    }
    log.close();
    if (db && db->TransactionDepth() > 0) {
        db->OnRollback([file, size, existed] {
            if (!existed)
                QFile::remove(file);
            else
                QFile(file).resize(size);
        });
    }
    return written;
}
