#pragma once
// One model class serves every page's list: rows come straight from the
// page list, header rows are coloured through the model's roles.
#include <QAbstractTableModel>
#include <QColor>

#include "ui/pages/PageList.h"

class TPageListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static inline const QColor kHeaderBackground{255, 140, 0};
    static inline const QColor kHeaderText{Qt::white};

    explicit TPageListModel(ui::PageList& list, QObject* parent = nullptr) : QAbstractTableModel(parent), FList(list) {}

    ui::PageList& List() { return FList; }
    const ui::PageList& List() const { return FList; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Views see the list change as one reset, however many rows a fill
    // writes and however it ends.
    class FillScope {
    public:
        explicit FillScope(TPageListModel& model) : FModel(model) { FModel.beginResetModel(); }
        ~FillScope() { FModel.endResetModel(); }
        FillScope(const FillScope&) = delete;
        FillScope& operator=(const FillScope&) = delete;

    private:
        TPageListModel& FModel;
    };

private:
    ui::PageList& FList;
};
