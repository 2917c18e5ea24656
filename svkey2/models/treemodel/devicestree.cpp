#include "devicestree.h"
#include "devicetreeitem.h"

#include "notifier.h"
#include "sv_key_common.h"

#include <QDebug>
#include <QFont>
#include <QJsonDocument>
#include <QJsonValue>

namespace {

// JSON keys read from lsblk, in column order.
const char* const kKeys[] = {"name", "fstype", "label", "uuid", "mountpoint"};
constexpr int kColumns = 5;

// Text of a JSON value as shown in a cell; null gives an empty text.
QString jsonText(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double:
        return QString::number(value.toDouble());
    default:
        return QString();
    }
}

// The mount point of an lsblk device object. util-linux 2.37 and later print
// an array "mountpoints" instead of "mountpoint": take the first mount point
// that is not null.
bool mountpointOf(const QJsonObject& device, QJsonValue* out)
{
    if (device.contains(QStringLiteral("mountpoint"))) {
        *out = device.value(QStringLiteral("mountpoint"));
        return true;
    }
    const QJsonValue list = device.value(QStringLiteral("mountpoints"));
    if (!list.isArray())
        return false;
    for (const QJsonValue& entry : list.toArray()) {
        if (entry.isString() && !entry.toString().isEmpty()) {
            *out = entry;
            return true;
        }
    }
    *out = QJsonValue(QJsonValue::Null);
    return true;
}

} // namespace

DevicesTree::DevicesTree(const QString& device, QObject* parent)
    : QAbstractItemModel(parent)
{
    roles[NameRole] = "name";
    roles[FstypeRole] = "fstype";
    roles[LabelRole] = "label";
    roles[UuidRole] = "uuid";
    roles[MountpointRole] = "mountpoint";

    rootItem = new DeviceTreeItem({tr("Name"), tr("fstype"), tr("Label"), tr("UUID"), tr("Mountpoint")});

    if (!device.isEmpty())
        loadData(device);
}

DevicesTree::~DevicesTree()
{
    delete rootItem;
}

void DevicesTree::writeDevice(const QJsonObject& device, int row, const QModelIndex& parent, quint32 type)
{
    for (int column = 0; column < kColumns; ++column) {
        const QString key = QString::fromLatin1(kKeys[column]);
        QJsonValue value;
        if (column == 4) {
            if (!mountpointOf(device, &value))
                continue;
        } else {
            if (!device.contains(key))
                continue;
            value = device.value(key);
        }
        const QModelIndex cell = type == DeviceTreeItem::DiskType ? QModelIndex() : index(row, column, parent);
        if (cell.isValid()) {
            setData(cell, jsonText(value), type);
        } else {
            // The disk, or a row that does not exist: the write lands in the
            // root, the node behind an invalid index. The root's columns are
            // what the header shows.
            if (rootItem->setData(column, jsonText(value), type))
                emit headerDataChanged(Qt::Horizontal, column, column);
        }
    }
}

void DevicesTree::loadData(const QString& device)
{
    const QModelIndex topParent = index(0, 0, QModelIndex());

    const std::string command = "/bin/lsblk -fJ " + sv_key_common::shell_quote("/dev/" + device.toStdString());
    qDebug() << "command for devices tree is" << QString::fromStdString(command);

    std::string output;
    if (sv_key_common::execute_command(command, &output) != 0) {
        Notifier::getInstance()->showAssert(tr("Can't execute: ") + QString::fromStdString(command));
        return;
    }
    qDebug() << "command executed";

    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(output));
    const QJsonValue devices = document.object().value(QStringLiteral("blockdevices"));
    if (!devices.isArray())
        return;

    for (const QJsonValue& entry : devices.toArray()) {
        const QJsonObject disk = entry.toObject();
        // The disk's own values go into the root, which becomes the disk.
        writeDevice(disk, 0, QModelIndex(), DeviceTreeItem::DiskType);
        const QJsonValue children = disk.value(QStringLiteral("children"));
        if (children.isArray())
            loadChildrenDevices(children.toArray(), topParent);
    }

    qDebug() << "in devices tree " << rowCount() << "children item";
}

void DevicesTree::loadChildrenDevices(const QJsonArray& array, const QModelIndex& parent)
{
    if (array.isEmpty())
        return;
    insertRows(0, array.size(), parent);
    for (int i = 0; i < array.size(); ++i) {
        const QJsonObject device = array.at(i).toObject();
        writeDevice(device, i, parent, DeviceTreeItem::ChildType);
        const QJsonValue children = device.value(QStringLiteral("children"));
        if (children.isArray())
            loadChildrenDevices(children.toArray(), index(i, 0, parent));
    }
}

DeviceTreeItem* DevicesTree::getItem(const QModelIndex& index) const
{
    if (index.isValid()) {
        auto* item = static_cast<DeviceTreeItem*>(index.internalPointer());
        if (item)
            return item;
    }
    return rootItem;
}

QModelIndex DevicesTree::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return QModelIndex();
    DeviceTreeItem* parentItem = getItem(parent);
    DeviceTreeItem* childItem = parentItem->child(row);
    if (childItem)
        return createIndex(row, column, childItem);
    return QModelIndex();
}

QModelIndex DevicesTree::parent(const QModelIndex& index) const
{
    if (!index.isValid())
        return QModelIndex();
    DeviceTreeItem* childItem = getItem(index);
    DeviceTreeItem* parentItem = childItem->parentItem();
    if (!parentItem || parentItem == rootItem)
        return QModelIndex();
    return createIndex(parentItem->childNumber(), 0, parentItem);
}

int DevicesTree::rowCount(const QModelIndex& parent) const
{
    // Only column 0 has children, as index() says.
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return getItem(parent)->childCount();
}

int DevicesTree::columnCount(const QModelIndex&) const
{
    return rootItem->columnCount();
}

QVariant DevicesTree::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    DeviceTreeItem* item = getItem(index);
    if (role >= NameRole && role <= MountpointRole)
        return item->data(role - NameRole);
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return item->data(index.column());
    if (role == Qt::FontRole && item->type() == DeviceTreeItem::DiskType) {
        QFont font;
        font.setBold(true);
        return font;
    }
    return QVariant();
}

bool DevicesTree::setData(const QModelIndex& index, const QVariant& value, int role)
{
    return setData(index, value, DeviceTreeItem::NoType, role);
}

bool DevicesTree::setData(const QModelIndex& index, const QVariant& value, quint32 type, int)
{
    // An invalid index has column -1: nothing is written.
    if (!getItem(index)->setData(index.column(), value, type))
        return false;
    emit dataChanged(index, index);
    return true;
}

QVariant DevicesTree::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return rootItem->data(section);
    return QVariant();
}

bool DevicesTree::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (role != Qt::EditRole || orientation != Qt::Horizontal)
        return false;
    const bool result = rootItem->setData(section, value);
    if (result)
        emit headerDataChanged(orientation, section, section);
    return result;
}

bool DevicesTree::insertRows(int position, int rows, const QModelIndex& parent)
{
    DeviceTreeItem* parentItem = getItem(parent);
    if (position < 0 || position > parentItem->childCount() || rows <= 0)
        return false;
    beginInsertRows(parent, position, position + rows - 1);
    const bool success = parentItem->insertChildren(position, rows, rootItem->columnCount());
    endInsertRows();
    return success;
}

bool DevicesTree::removeRows(int position, int rows, const QModelIndex& parent)
{
    DeviceTreeItem* parentItem = getItem(parent);
    if (position < 0 || rows <= 0 || position + rows > parentItem->childCount())
        return false;
    beginRemoveRows(parent, position, position + rows - 1);
    const bool success = parentItem->removeChildren(position, rows);
    endRemoveRows();
    return success;
}

bool DevicesTree::insertColumns(int position, int columns, const QModelIndex& parent)
{
    if (position < 0 || position > rootItem->columnCount() || columns <= 0)
        return false;
    beginInsertColumns(parent, position, position + columns - 1);
    const bool success = rootItem->insertColumns(position, columns);
    endInsertColumns();
    return success;
}

bool DevicesTree::removeColumns(int position, int columns, const QModelIndex& parent)
{
    if (position < 0 || columns <= 0 || position + columns > rootItem->columnCount())
        return false;
    beginRemoveColumns(parent, position, position + columns - 1);
    const bool success = rootItem->removeColumns(position, columns);
    endRemoveColumns();
    if (rootItem->columnCount() == 0)
        removeRows(0, rowCount());
    return success;
}

Qt::ItemFlags DevicesTree::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEditable | QAbstractItemModel::flags(index);
}

QHash<int, QByteArray> DevicesTree::roleNames() const
{
    return roles;
}

QString DevicesTree::columnText(const QModelIndex& index, int column) const
{
    return getItem(index)->data(column).toString();
}

QString DevicesTree::getName(const QModelIndex& index) const
{
    return columnText(index, 0);
}

QString DevicesTree::getFstype(const QModelIndex& index) const
{
    return columnText(index, 1);
}

QString DevicesTree::getLabel(const QModelIndex& index) const
{
    return columnText(index, 2);
}

QString DevicesTree::getUuid(const QModelIndex& index) const
{
    return columnText(index, 3);
}

QString DevicesTree::getMountpoint(const QModelIndex& index) const
{
    return columnText(index, 4);
}

uint DevicesTree::getType(const QModelIndex& index) const
{
    return getItem(index)->type();
}
