#include "data/Wartefenster.h"

#include <QLabel>
#include <QVBoxLayout>

Wartefenster::Wartefenster(QWidget* parent, const QString& name, const QString& caption, const char* textName,
                           const QString& text)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      m_text(new QLabel(text, this))
{
    setObjectName(name);
    setWindowTitle(caption);
    setCursor(Qt::WaitCursor);
    setModal(false);
    m_text->setObjectName(QLatin1String(textName));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(m_text);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
