#ifndef DEVICETREEITEM_H
#define DEVICETREEITEM_H

#include <QList>
#include <QVariant>
#include <QVector>

// One node of the block device tree: a disk, a partition or whatever lies
// beneath a partition (LVM volume, crypt mapping). Owns its children.
class DeviceTreeItem
{
public:
    // Kinds of node.
    enum Type : quint32 {
        NoType = 0, // no data yet, or written through the plain setter
        DiskType = 2, // the disk itself (held in the root)
        ChildType = 3 // a device read from a "children" array
    };

    explicit DeviceTreeItem(const QVector<QVariant>& data, DeviceTreeItem* parent = nullptr, quint32 type = NoType);
    ~DeviceTreeItem();

    DeviceTreeItem(const DeviceTreeItem&) = delete;
    DeviceTreeItem& operator=(const DeviceTreeItem&) = delete;

    void appendChild(DeviceTreeItem* child);
    void setParent(DeviceTreeItem* parent);

    DeviceTreeItem* child(int row) const;
    int childCount() const;
    int columnCount() const;
    QVariant data(int column) const;
    DeviceTreeItem* parentItem() const;
    quint32 type() const;
    int childNumber() const;
    int row() const;

    bool insertChildren(int position, int count, int columns);
    bool insertColumns(int position, int columns);
    bool removeChildren(int position, int count);
    bool removeColumns(int position, int columns);

    // Writes one column and resets the kind to NoType.
    bool setData(int column, const QVariant& value);
    // Writes one column and sets the kind.
    bool setData(int column, const QVariant& value, quint32 type);

private:
    QList<DeviceTreeItem*> childItems;
    QVector<QVariant> itemData;
    DeviceTreeItem* m_parentItem;
    quint32 m_type;
};

#endif // DEVICETREEITEM_H
