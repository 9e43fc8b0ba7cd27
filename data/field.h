#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>

#include <functional>

class TDataSet;

// Data type codes, the engine's own numbers (field definition files store them).
enum TFieldType : int {
    ftUnknown = 0,
    ftText = 1,
    ftSmallint = 2,
    ftInteger = 3,
    ftBoolean = 5,
    ftFloat = 6,
    ftMoney = 7,
    ftDate = 9,
    ftTime = 10,
    ftAutoInc = 14,
    ftBlob = 15,
    ftMemo = 16,
    ftGraphic = 17,
};

enum class TFieldKind { Data, Calculated, Lookup };

// The data type code and declared size of an SQLite declared type ("CHAR(40)" -> 1, 40).
// Unknown types fall back on SQLite's affinity rules.
struct TDeclaredType
{
    int dataType = ftUnknown;
    int size = 0;
};
TDeclaredType ParseDeclaredType(const QString& declaredType);
bool IsTextType(int dataType);     // text and memo
bool IsIntegerType(int dataType);  // small integer, integer, automatic number
bool IsFloatType(int dataType);    // floating and money

// One column of a data set's current record. Values live in the data set's record buffer;
// a field only knows how to read and convert them. Stored forms: text as text, numbers as
// numbers, yes/no as 0/1, dates 'YYYY-MM-DD', times 'HH:MM:SS', pictures as bytes.
class TField
{
public:
    TField(TDataSet* dataSet, const QString& name, int dataType, int size, TFieldKind kind);

    TDataSet* DataSet() const { return m_dataSet; }
    QString FieldName() const { return m_name; }
    int DataType() const { return m_dataType; }
    int Size() const { return m_size; }
    TFieldKind Kind() const { return m_kind; }
    bool IsCalculated() const { return m_kind != TFieldKind::Data; }
    // Position in the data set's field list, from 0.
    int Index() const { return m_index; }

    QString DisplayLabel() const { return m_displayLabel.isEmpty() ? m_name : m_displayLabel; }
    void SetDisplayLabel(const QString& label) { m_displayLabel = label; }
    // Delphi-style number or date pattern: ",#0.00", "0.00 \"%\"", "dd/mm/yyyy".
    QString DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(const QString& format) { m_displayFormat = format; }
    QString EditFormat() const { return m_editFormat; }
    void SetEditFormat(const QString& format) { m_editFormat = format; }
    QString EditMask() const { return m_editMask; }
    void SetEditMask(const QString& mask) { m_editMask = mask; }
    // Yes/no captions "Ja;Nee" (true;false).
    QString DisplayValues() const { return m_displayValues; }
    void SetDisplayValues(const QString& values) { m_displayValues = values; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    bool Required() const { return m_required; }
    void SetRequired(bool required) { m_required = required; }
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    // Whether the column is the table's INTEGER PRIMARY KEY (filled by SQLite when empty).
    bool IsRowId() const { return m_rowId; }

    bool IsNull() const;
    QVariant AsVariant() const;   // typed: QString, qint64, double, bool, QDate, QTime, QByteArray
    QString AsString() const;     // edit text: dates "dd/MM/yyyy", yes/no by DisplayValues
    int AsInteger() const;
    qint64 AsLargeInt() const;
    double AsFloat() const;
    bool AsBoolean() const;
    QDate AsDate() const;
    QTime AsTime() const;
    QByteArray AsBytes() const;
    // The text a grid shows: DisplayFormat applied, yes/no as DisplayValues.
    QString DisplayText() const;

    // Converts to the stored form and writes the record buffer. Allowed in Edit and Insert
    // (calculated fields only while calculating); false otherwise, or when read-only, or when
    // the value does not convert (a date from "31/02/2001").
    bool SetValue(const QVariant& value);
    bool Clear() { return SetValue(QVariant()); }

    // Converts a value to this field's stored form; false when it does not convert.
    bool ToStored(const QVariant& value, QVariant* stored) const;
    // Text and display text of a stored value (grids read rows other than the current one).
    QString TextOf(const QVariant& stored) const;
    QString DisplayTextOf(const QVariant& stored) const;
    QVariant TypedOf(const QVariant& stored) const;

    // Called after the value changed through SetValue.
    std::function<void(TField&)> OnChange;

    // Lookup fields: the value of LookupResultField in LookupDataSet's row whose
    // LookupKeyFields equals this data set's KeyFields.
    QString KeyFields() const { return m_keyFields; }
    TDataSet* LookupDataSet() const { return m_lookupDataSet; }
    QString LookupKeyFields() const { return m_lookupKeyFields; }
    QString LookupResultField() const { return m_lookupResultField; }

private:
    friend class TDataSet;
    TDataSet* m_dataSet = nullptr;
    QString m_name;
    int m_dataType = ftUnknown;
    int m_size = 0;
    TFieldKind m_kind = TFieldKind::Data;
    int m_index = -1;
    QString m_displayLabel;
    QString m_displayFormat;
    QString m_editFormat;
    QString m_editMask;
    QString m_displayValues;
    bool m_readOnly = false;
    bool m_visible = true;
    bool m_required = false;
    bool m_rowId = false;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString m_keyFields;
    TDataSet* m_lookupDataSet = nullptr;
    QString m_lookupKeyFields;
    QString m_lookupResultField;
};

// Formats a number with a Delphi-style pattern (",#0.00", "0.00 \"%\"", "#,##0.00;-#,##0.00"),
// with DecimalSeparator() and "." as thousands separator.
QString FormatNumber(const QString& pattern, double value);
// Formats a date or time with a Delphi-style pattern ("dd/mm/yyyy", "hh:nn").
QString FormatDateTimePattern(const QString& pattern, const QDateTime& value);
