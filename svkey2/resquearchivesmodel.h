#ifndef RESQUEARCHIVESMODEL_H
#define RESQUEARCHIVESMODEL_H

#include <QHash>
#include <QStandardItemModel>
#include <QString>

#include <vector>

#include "sv_archive_records.h"

// Roles under which one archive row keeps its values (all stored as text).
namespace ArchiveRoles {
enum Role {
    Id = Qt::UserRole + 1, // 257
    TaskId,
    Name,
    ReferenceId,
    ResourceType,
    Resource,
    BackupType,
    Pool,
    ArchiveSize,
    SnapshotSize,
    Created,
    CreationDuration,
    TransmissionDuration,
    CryptAlgorithm,
    CryptDuration,
    IsDigitallySigned,
    VerificationStatus // 273
};

// Role number -> role name, shared by every archive list model.
QHash<int, QByteArray> roleNames();

// One single-column row holding every value of the archive under the roles
// above. yesText/noText are the (translated) texts of the signature flag.
QStandardItem* makeItem(const sv_archive_short& archive, const QString& yesText, const QString& noText);
// Rows of many archives at once, sharing one copy of the list.
QList<QStandardItem*> makeItems(
    const std::vector<sv_archive_short>& archives, const QString& yesText, const QString& noText);
} // namespace ArchiveRoles

// Rescue-image archives of the chosen client, one row per archive, and the
// row the operator selected.
class ResqueArchivesModel : public QStandardItemModel
{
    Q_OBJECT
    Q_PROPERTY(int selectedRow READ selectedRow WRITE setSelectedRow NOTIFY selectedRowChanged)
    Q_PROPERTY(QString selectedBackupName READ selectedBackupName NOTIFY selectedRowChanged)

public:
    explicit ResqueArchivesModel(QObject* parent = nullptr);

    // Replaces the rows by the given archives and resets the selection.
    bool fill(const std::vector<sv_archive_short>& archives);

    int selectedRow() const;
    void setSelectedRow(int row);
    void resetSelectedRow();
    QString selectedBackupName() const;

    Q_INVOKABLE QString getId(const QModelIndex& index) const;
    Q_INVOKABLE QString getCrypto(const QModelIndex& index) const;

    QHash<int, QByteArray> roleNames() const override;

    // Text shown as the archive name when nothing is selected.
    static QString undefinedBackupName();

signals:
    void selectedRowChanged();

private:
    int m_selectedRow = -1;
};

#endif // RESQUEARCHIVESMODEL_H
