#ifndef DEVICESTREE_H
#define DEVICESTREE_H

#include <QAbstractItemModel>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>

class DeviceTreeItem;

// Tree of one disk's block devices, read once from "lsblk -fJ". The disk
// itself lives in the invisible root; its partitions are the top-level rows
// and whatever lies beneath them (LVM volumes, crypt mappings) is nested.
class DevicesTree : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Roles { NameRole = Qt::UserRole + 1, FstypeRole, LabelRole, UuidRole, MountpointRole };

    explicit DevicesTree(const QString& device, QObject* parent = nullptr);
    ~DevicesTree() override;

    void loadData(const QString& device);
    void loadChildrenDevices(const QJsonArray& array, const QModelIndex& parent);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(
        int section, Qt::Orientation orientation, const QVariant& value, int role = Qt::EditRole) override;
    bool insertRows(int position, int rows, const QModelIndex& parent = QModelIndex()) override;
    bool insertColumns(int position, int columns, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int position, int rows, const QModelIndex& parent = QModelIndex()) override;
    bool removeColumns(int position, int columns, const QModelIndex& parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Writes one cell and sets the node's kind (DeviceTreeItem::Type).
    bool setData(const QModelIndex& index, const QVariant& value, quint32 type, int role = Qt::EditRole);

    Q_INVOKABLE QString getName(const QModelIndex& index) const;
    Q_INVOKABLE QString getFstype(const QModelIndex& index) const;
    Q_INVOKABLE QString getLabel(const QModelIndex& index) const;
    Q_INVOKABLE QString getUuid(const QModelIndex& index) const;
    Q_INVOKABLE QString getMountpoint(const QModelIndex& index) const;
    Q_INVOKABLE uint getType(const QModelIndex& index) const;

    // The node behind a valid index, else the root (the disk).
    DeviceTreeItem* getItem(const QModelIndex& index) const;

private:
    // Writes the values of the five keys an lsblk device object has into
    // the node at (row, column of the key) under parent.
    void writeDevice(const QJsonObject& device, int row, const QModelIndex& parent, quint32 type);
    QString columnText(const QModelIndex& index, int column) const;

    DeviceTreeItem* rootItem;
    QHash<int, QByteArray> roles;
};

#endif // DEVICESTREE_H
