#include "sheet_combo_box.h"

QSize SheetComboBox::sizeHint() const {
    QStringList items;
    items.reserve(count());
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    if (!m_size.isValid() || items != m_sizedItems || font() != m_sizedFont) {
        m_size = QComboBox::sizeHint();
        m_sizedItems = items;
        m_sizedFont = font();
    }
    return m_size;
}

QSize SheetComboBox::minimumSizeHint() const {
    return minimumContentsLength() == 0 ? sizeHint() : QComboBox::minimumSizeHint();
}
