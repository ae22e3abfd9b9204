#include "update/Verzeichnisliste.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QStyle>

namespace {

constexpr int pfadRolle = Qt::UserRole;

QString vorhandenDarueber(QString verzeichnis)
{
    verzeichnis = QDir::cleanPath(QDir::current().absoluteFilePath(verzeichnis));
    while (!QFileInfo(verzeichnis).isDir()) {
        const QString darueber = QFileInfo(verzeichnis).path();
        if (darueber == verzeichnis)
            return QDir::currentPath();
        verzeichnis = darueber;
    }
    return verzeichnis;
}

} // namespace

Verzeichnisliste::Verzeichnisliste(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemsExpandable(false);
    connect(this, &QTreeWidget::itemActivated, this, &Verzeichnisliste::oeffnen);
    setVerzeichnis(QDir::currentPath());
}

void Verzeichnisliste::setVerzeichnis(const QString& verzeichnis)
{
    m_geoeffnet = vorhandenDarueber(verzeichnis);
    clear();
    const QIcon offen = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon zu = style()->standardIcon(QStyle::SP_DirClosedIcon);

    QStringList kette; // the ancestors, the root first
    for (QDir d(m_geoeffnet);;) {
        kette.prepend(d.absolutePath());
        if (!d.cdUp())
            break;
    }
    QTreeWidgetItem* aktuell = nullptr;
    for (const QString& pfad : kette) {
        const QString name = QDir(pfad).isRoot() ? QDir::toNativeSeparators(pfad) : QDir(pfad).dirName();
        auto* eintrag = aktuell ? new QTreeWidgetItem(aktuell) : new QTreeWidgetItem(this);
        eintrag->setText(0, name);
        eintrag->setIcon(0, offen);
        eintrag->setData(0, pfadRolle, pfad);
        aktuell = eintrag;
    }
    const QDir hier(m_geoeffnet);
    for (const QString& name : hier.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* eintrag = new QTreeWidgetItem(aktuell);
        eintrag->setText(0, name);
        eintrag->setIcon(0, zu);
        eintrag->setData(0, pfadRolle, hier.filePath(name));
    }
    expandAll();
    setCurrentItem(aktuell);
}

QString Verzeichnisliste::gewaehlt() const
{
    const QTreeWidgetItem* eintrag = currentItem();
    return eintrag ? eintrag->data(0, pfadRolle).toString() : m_geoeffnet;
}

void Verzeichnisliste::oeffnen(QTreeWidgetItem* eintrag)
{
    if (eintrag)
        setVerzeichnis(eintrag->data(0, pfadRolle).toString());
}
