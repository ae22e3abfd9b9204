#pragma once

#include <QTextEdit>

#include "widgets/FieldLink.h"

namespace widgets {

// Rich edit on a text or memo field: the field holds the plain text; the
// formatting (subscript digits of a formula, say) is the program's, applied
// after each showing through recordShown(). Formatting alone changes nothing
// in the record. A one-line field (any but a memo) takes no tab and no line
// break and does not wrap: Tab and Shift+Tab move the focus as in a one-line
// edit, Return leaves the control, and pasted or dropped text arrives as one
// line, its tabs and line breaks made blanks.
class DBRichEdit : public QTextEdit, public DataAware {
    Q_OBJECT
public:
    explicit DBRichEdit(QWidget* parent = nullptr);

    void setReadOnly(bool readOnly) { link().setReadOnly(readOnly); }
    bool readOnly() const { return link().readOnly(); }

signals:
    // The field's text was just put into the control, unformatted.
    void recordShown();
    void exited();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void showField() override;
    void applyReadOnly(bool readOnly) override;
    bool oneLine() const;
    void applyLineMode();

    bool m_showing = false;
    QString m_shown; // the plain text as last shown or typed
};

} // namespace widgets
