#include "widgets/DBNavigator.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

#include "dbase/DbaseError.h"
#include "widgets/DataSource.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

namespace widgets {

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    struct Art {
        Button button;
        const char* name;
        QStyle::StandardPixmap icon;
    };
    const std::array<Art, 4> arten = {{{Button::First, "nbFirst", QStyle::SP_MediaSkipBackward},
                                       {Button::Prior, "nbPrior", QStyle::SP_MediaSeekBackward},
                                       {Button::Next, "nbNext", QStyle::SP_MediaSeekForward},
                                       {Button::Last, "nbLast", QStyle::SP_MediaSkipForward}}};
    for (const Art& art : arten) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(art.name));
        b->setIcon(style()->standardIcon(art.icon));
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
        m_buttons[static_cast<std::size_t>(art.button)] = b;
        connect(b, &QToolButton::clicked, this, [this, which = art.button] { press(which); });
    }
    updateButtons();
}

void DBNavigator::setDataSource(DataSource* source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (m_source) {
        connect(m_source, &DataSource::activeChanged, this, &DBNavigator::updateButtons);
        connect(m_source, &DataSource::dataSetChanged, this, &DBNavigator::updateButtons);
        connect(m_source, &QObject::destroyed, this, [this] {
            m_source = nullptr;
            updateButtons();
        });
    }
    updateButtons();
}

void DBNavigator::setHints(const QStringList& hints)
{
    for (std::size_t i = 0; i < m_buttons.size() && i < static_cast<std::size_t>(hints.size()); ++i) {
        m_buttons[i]->setToolTip(hints[static_cast<qsizetype>(i)]);
        m_buttons[i]->setStatusTip(hints[static_cast<qsizetype>(i)]);
    }
}

void DBNavigator::updateButtons()
{
    const bool on = m_source && m_source->active() && !m_source->dataSet()->isEmpty();
    for (QToolButton* b : m_buttons)
        b->setEnabled(on);
}

void DBNavigator::press(Button which)
{
    if (!m_source || !m_source->active())
        return;
    dbase::Table& table = *m_source->dataSet();
    try {
        switch (which) {
        case Button::First: table.first(); break;
        case Button::Prior: table.prior(); break;
        case Button::Next: table.next(); break;
        case Button::Last: table.last(); break;
        }
    } catch (const dbase::DbaseError& error) {
        // Leaving a changed record posts it; a post the table refuses keeps
        // the cursor where it was, and the user learns why.
        MessageBox::error(this, widgets::errorText(error));
        return;
    }
    emit clicked(which);
}

} // namespace widgets
