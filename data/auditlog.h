#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

class TDatabase;
class TDataSet;

// The audit logs "factuur.bup" and "faclijn.bup" of an administration: one line per stored
// state of a record, the date and time of storing first, then "|" and every stored column's
// text, each followed by "|". A state equal to the log's last line is not written again.
//
// Values are escaped so one record always stays one line and its fields can be split at "|":
// "\" becomes "\\", "|" "\p", a carriage return "\r" and a line feed "\n".

QString EscapeAuditValue(const QString& value);
QString UnescapeAuditValue(const QString& text);

// "|" + each stored column's text (escaped) + "|" ...: the current record of the data set.
QString AuditRecordText(TDataSet& dataSet);
// The same text for a row written without the data set (the document store's lines): the
// stored values by upper-cased column name, in the data set's column order and as its fields
// write them; a column without a value is empty.
QString AuditRecordText(TDataSet& layout, const QHash<QString, QVariant>& storedByColumn);

// "dd/mm/yyyy hh:mm:ss".
QString AuditTimeText(const QDateTime& when);

// folder + table + ".bup".
QString AuditLogFile(const QString& administrationFolder, const QString& tableName);

// The log's last line without its time stamp (from the first "|" on); empty when there is none.
QString LastAuditState(const QString& file);

// Appends the time text and the record text unless the log's last line holds that state
// already. Inside a transaction of db, the line is taken out again when it is rolled back, so
// the log holds only states that were stored. Whether a line was written; errors are ignored.
bool AppendAuditLine(TDatabase* db, const QString& file, const QString& recordText, const QDateTime& when);
// Several states in one write (a document's lines); each is skipped when it equals the one
// before it. How many lines were written.
int AppendAuditLines(TDatabase* db, const QString& file, const QStringList& recordTexts, const QDateTime& when);
