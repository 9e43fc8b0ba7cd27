#pragma once

#include <QDateTime>
#include <QString>

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
