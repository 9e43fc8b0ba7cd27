#pragma once

#include <QString>

class TDatabase;
class TQuery;

// Scratch tables are temporary tables of one connection: two programs printing at the same
// moment never see each other's rows, and nothing is left on disk. ("temp" is SQLite's name
// for that schema, so the general scratch table is called "scratch".)
QString ScratchTableName();

// Rebuilds temp.<name> with the columns of the query's result: rowCount empty rows first (so
// printing can start further down a sheet of labels), then the query's rows, the whole set
// repeat times. Afterwards the query reads "SELECT * FROM <name>" (closed). The query is run
// with its current parameters. False with the reason when a step fails; the old scratch
// rows are gone then.
bool FillScratchTable(TDatabase& database, int rowCount, TQuery& query, int repeat,
                      QString* error = nullptr, const QString& name = ScratchTableName());
