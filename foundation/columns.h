#pragma once

#include <QString>

// kind selects one of the three system column lists (0, 1, 2).
// False when the name (case ignored) is a column the system keeps for itself; an empty name
// is always a system column. An unknown kind has no system columns besides the empty name.
bool IsUserColumn(const QString& name, int kind);
// Data type codes of columns that cannot be shown in a list.
constexpr int kMemoDataType = 16;
constexpr int kGraphicDataType = 17;
// False for no name, for memo and graphic columns and for system columns of kind 0.
bool IsListableField(const QString& name, int dataTypeCode);
