#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

#include "data/dataset.h"

// Links a data set to the windows that show it (grids, cards). Passes on data changes and
// state changes while enabled; AutoEdit lets a control start editing.
class TDataSource : public QObject
{
    Q_OBJECT
public:
    explicit TDataSource(QObject* parent = nullptr);
    explicit TDataSource(TDataSet* dataSet, QObject* parent = nullptr);

    void SetDataSet(TDataSet* dataSet);
    TDataSet* DataSet() const { return m_dataSet; }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    bool AutoEdit() const { return m_autoEdit; }
    void SetAutoEdit(bool on) { m_autoEdit = on; }
    TDataSetState State() const;

    // For a control about to change a value: starts editing when AutoEdit allows it. True
    // when the data set is in Edit or Insert afterwards.
    bool Edit();

    std::function<void(TDataSource&, TField* field)> OnDataChange;
    std::function<void(TDataSource&)> OnStateChange;

Q_SIGNALS:
    void dataChanged(TField* field);
    void stateChanged();
    void dataSetChanged();  // another data set was linked

private:
    void Connect();

    QPointer<TDataSet> m_dataSet;
    bool m_enabled = true;
    bool m_autoEdit = true;
    QMetaObject::Connection m_dataConnection;
    QMetaObject::Connection m_stateConnection;
};
