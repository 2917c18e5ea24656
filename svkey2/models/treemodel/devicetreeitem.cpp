#include "devicetreeitem.h"

DeviceTreeItem::DeviceTreeItem(const QVector<QVariant>& data, DeviceTreeItem* parent, quint32 type)
    : itemData(data)
    , m_parentItem(parent)
    , m_type(type)
{ }

DeviceTreeItem::~DeviceTreeItem()
{
    qDeleteAll(childItems);
}

void DeviceTreeItem::appendChild(DeviceTreeItem* child)
{
    if (!child)
        return;
    child->setParent(this);
    childItems.append(child);
}

void DeviceTreeItem::setParent(DeviceTreeItem* parent)
{
    m_parentItem = parent;
}

DeviceTreeItem* DeviceTreeItem::child(int row) const
{
    if (row < 0 || row >= childItems.size())
        return nullptr;
    return childItems.at(row);
}

int DeviceTreeItem::childCount() const
{
    return childItems.size();
}

int DeviceTreeItem::columnCount() const
{
    return itemData.size();
}

QVariant DeviceTreeItem::data(int column) const
{
    if (column < 0 || column >= itemData.size())
        return QVariant();
    return itemData.at(column);
}

DeviceTreeItem* DeviceTreeItem::parentItem() const
{
    return m_parentItem;
}

quint32 DeviceTreeItem::type() const
{
    return m_type;
}

int DeviceTreeItem::childNumber() const
{
    if (m_parentItem)
        return m_parentItem->childItems.indexOf(const_cast<DeviceTreeItem*>(this));
    return 0;
}

int DeviceTreeItem::row() const
{
    return childNumber();
}

bool DeviceTreeItem::insertChildren(int position, int count, int columns)
{
    if (position < 0 || position > childItems.size() || count < 0 || columns < 0)
        return false;
    for (int i = 0; i < count; ++i) {
        auto* item = new DeviceTreeItem(QVector<QVariant>(columns, QVariant(QString())), this);
        childItems.insert(position, item);
    }
    return true;
}

bool DeviceTreeItem::insertColumns(int position, int columns)
{
    if (position < 0 || position > itemData.size() || columns < 0)
        return false;
    for (int i = 0; i < columns; ++i)
        itemData.insert(position, QVariant(QString()));
    for (DeviceTreeItem* child : qAsConst(childItems))
        child->insertColumns(position, columns);
    return true;
}

bool DeviceTreeItem::removeChildren(int position, int count)
{
    if (position < 0 || count < 0 || position + count > childItems.size())
        return false;
    for (int i = 0; i < count; ++i)
        delete childItems.takeAt(position);
    return true;
}

bool DeviceTreeItem::removeColumns(int position, int columns)
{
    if (position < 0 || columns < 0 || position + columns > itemData.size())
        return false;
    itemData.remove(position, columns);
    for (DeviceTreeItem* child : qAsConst(childItems))
        child->removeColumns(position, columns);
    return true;
}

bool DeviceTreeItem::setData(int column, const QVariant& value)
{
    return setData(column, value, NoType);
}

bool DeviceTreeItem::setData(int column, const QVariant& value, quint32 type)
{
    if (column < 0 || column >= itemData.size())
        return false;
    itemData[column] = value;
    m_type = type;
    return true;
}
