#include "drpmanager.h"

#include "sv_payload_decode.h"

#include <QDebug>

DrpManager::DrpManager(QObject* parent)
    : QObject(parent)
{
    connect(
        &drpModel, &DrpModel::selectedRowChanged, &drpModel, [this](int row) { onEntrySelected(row); },
        Qt::DirectConnection);
}

QAbstractItemModel* DrpManager::getDrpModel()
{
    return &drpModel;
}

QAbstractItemModel* DrpManager::getDrpArchiveModel()
{
    return &drpArchiveModel;
}

DrpModel* DrpManager::entries()
{
    return &drpModel;
}

DrpArchiveModel* DrpManager::entryArchives()
{
    return &drpArchiveModel;
}

const std::vector<disaster_recovery_plan_record>& DrpManager::plan() const
{
    return m_plan;
}

void DrpManager::onEntrySelected(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_plan.size()) {
        qWarning().noquote() << "Wrong row:" << row << "DRP archive model can`t be loaded";
        return;
    }
    drpArchiveModel.load(m_plan, m_plan[static_cast<std::size_t>(row)].get_id());
}

void DrpManager::clearPlan()
{
    m_plan.clear();
    drpModel.load(m_plan);
    emit drpModelChanged();
    drpModel.setSelectedRow(-1);

    drpArchiveModel.clear();
    emit drpArchiveModelChanged();
    drpArchiveModel.setSelectedRow(-1);
}

bool DrpManager::fillPlan(const std::string& payload, std::string* error)
{
    clearPlan();
    std::string reason;
    const bool decoded = sv_payload::decode_recovery_plan(payload, m_plan, reason);
    if (!decoded) {
        // The plan stays empty, exactly as cleared.
        m_plan.clear();
        if (error)
            *error = reason;
        return false;
    }
    drpModel.load(m_plan);
    emit drpModelChanged();
    if (drpModel.rowCount() > 0)
        drpModel.setSelectedRow(0);
    return true;
}
