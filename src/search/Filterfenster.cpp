#include "search/Filterfenster.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include "app/Marlex.h"
#include "search/Filtersetzen.h"

TFilterfenster::TFilterfenster(const QString& name, const QString& caption, int modus)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Label1(new QLabel(u"Aktueller Filter:"_qs, this)), Edit1(new QLineEdit(this)), PopupMenu1(new QMenu(this)),
      Filterneusetzen1(new QAction(u"Filter &neu setzen"_qs, PopupMenu1)),
      Filterlschen1(new QAction(u"Filter &löschen"_qs, PopupMenu1)), m_modus(modus)
{
    setObjectName(name);
    setWindowTitle(caption);
    // Shown beside the main window, it must not keep the program running
    // once the main window is closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    Label1->setObjectName(u"Label1"_qs);
    Edit1->setObjectName(u"Edit1"_qs);
    Edit1->setEnabled(false);
    Edit1->setMinimumWidth(320);
    PopupMenu1->setObjectName(u"PopupMenu1"_qs);
    Filterneusetzen1->setObjectName(u"Filterneusetzen1"_qs);
    Filterlschen1->setObjectName(u"Filterlschen1"_qs);
    PopupMenu1->addActions({Filterneusetzen1, Filterlschen1});

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Edit1, 1);

    // The disabled expression passes its right-clicks on to the window.
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(mapToGlobal(pos)); });
    connect(Filterneusetzen1, &QAction::triggered, this, &TFilterfenster::Filterneusetzen1Click);
    connect(Filterlschen1, &QAction::triggered, this, &TFilterfenster::Filterlschen1Click);
}

void TFilterfenster::Filterneusetzen1Click()
{
    Marlex->LagerFilterModus = m_modus;
    TFiltersetzen dialog(this);
    dialog.exec();
}
