#include "data/datasource.h"

TDataSource::TDataSource(QObject* parent) : QObject(parent)
{
}

TDataSource::TDataSource(TDataSet* dataSet, QObject* parent) : QObject(parent)
{
    SetDataSet(dataSet);
}

void TDataSource::SetDataSet(TDataSet* dataSet)
{
    if (m_dataSet == dataSet)
        return;
    disconnect(m_dataConnection);
    disconnect(m_stateConnection);
    m_dataSet = dataSet;
    Connect();
    Q_EMIT dataSetChanged();
    Q_EMIT stateChanged();
    if (OnStateChange)
        OnStateChange(*this);
}

void TDataSource::Connect()
{
    if (!m_dataSet)
        return;
    m_dataConnection = connect(m_dataSet, &TDataSet::dataChanged, this, [this](TField* field) {
        if (!m_enabled)
            return;
        if (OnDataChange)
            OnDataChange(*this, field);
        Q_EMIT dataChanged(field);
    });
    m_stateConnection = connect(m_dataSet, &TDataSet::stateChanged, this, [this] {
        if (!m_enabled)
            return;
        if (OnStateChange)
            OnStateChange(*this);
        Q_EMIT stateChanged();
    });
}

void TDataSource::SetEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    Q_EMIT stateChanged();
    if (enabled)
        Q_EMIT dataChanged(nullptr);
}

TDataSetState TDataSource::State() const
{
    return m_dataSet && m_enabled ? m_dataSet->State() : TDataSetState::Inactive;
}

bool TDataSource::Edit()
{
    if (!m_dataSet || !m_dataSet->Active())
        return false;
    const TDataSetState state = m_dataSet->State();
    if (state == TDataSetState::Edit || state == TDataSetState::Insert)
        return true;
    return m_autoEdit && m_dataSet->Edit();
}
