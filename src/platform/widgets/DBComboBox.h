#pragma once

#include <QComboBox>

#include "widgets/FieldLink.h"

namespace widgets {

// Editable combo box on a field: a value list to choose from, or free text.
// Shows the field's text; a value from the list is also its current item.
// Typed text goes into the field as typed, never completed to an item.
class DBComboBox : public QComboBox, public DataAware {
    Q_OBJECT
public:
    explicit DBComboBox(QWidget* parent = nullptr);

    void setItems(const QStringList& items);
    QStringList items() const;
    // Position of the shown text in the value list (exact match), -1 when
    // it is none of them.
    int itemIndex() const;

    void setReadOnly(bool readOnly) { link().setReadOnly(readOnly); }
    bool readOnly() const { return link().readOnly(); }

    void showPopup() override;

signals:
    // The user chose an item or typed; the field already holds the new text.
    void changed();
    void exited();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showField() override;
    void applyReadOnly(bool readOnly) override;
    void userChanged();

    bool m_showing = false;
    bool m_readOnly = true;
};

} // namespace widgets
