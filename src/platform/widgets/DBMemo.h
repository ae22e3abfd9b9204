#pragma once

#include <QPlainTextEdit>

#include "widgets/FieldLink.h"

namespace widgets {

// Multi-line plain text edit on a memo field.
class DBMemo : public QPlainTextEdit, public DataAware {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);

    void setReadOnly(bool readOnly) { link().setReadOnly(readOnly); }
    bool readOnly() const { return link().readOnly(); }

signals:
    void exited();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showField() override;
    void applyReadOnly(bool readOnly) override;

    bool m_showing = false;
};

} // namespace widgets
