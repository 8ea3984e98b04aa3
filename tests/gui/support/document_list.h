#pragma once

#include <QStringList>
#include <QTableWidget>

namespace quorlix::test {

// The texts of the document list's first column, top to bottom.
inline QStringList ListTexts(const QTableWidget& list) {
    QStringList texts;
    for (int row = 0; row < list.rowCount(); ++row) {
        texts << list.item(row, 0)->text();
    }
    return texts;
}

// The row of the first selected item, or -1 when nothing is selected.
inline int SelectedRow(const QTableWidget& list) {
    const auto selected = list.selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

}  // namespace quorlix::test
