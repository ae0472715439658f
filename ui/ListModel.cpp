#include "ui/ListModel.h"

int TPageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(FList.Count());
}

int TPageListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant TPageListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
    const size_t row = static_cast<size_t>(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: {
            const ui::PageRow& r = FList.Row(row);
            if (index.column() == 0) return QString::fromStdString(r.property);
            if (!r.hasValue) return {};
            return QString::fromStdString(r.value);
        }
        case Qt::BackgroundRole:
            if (FList.IsHeaderRow(row)) return kHeaderBackground;
            return {};
        case Qt::ForegroundRole:
            if (FList.IsHeaderRow(row)) return kHeaderText;
            return {};
        default:
            return {};
    }
}

QVariant TPageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == 0) return QStringLiteral("Property");
    if (section == 1) return QStringLiteral("Value");
    return {};
}

Qt::ItemFlags TPageListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
