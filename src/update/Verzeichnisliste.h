#pragma once

#include <QTreeWidget>
#include <QString>

// A list of directories as a tree of one path: the directory's ancestors
// from the root down, each a step further in, and its subdirectories below
// it.
// Double-clicking an entry (or Enter on it) opens it; typing the first
// letters of a name moves to it. It never changes the process's current
// directory.
class Verzeichnisliste : public QTreeWidget {
    Q_OBJECT
public:
    explicit Verzeichnisliste(QWidget* parent = nullptr);

    // Opens `verzeichnis` (an existing directory; otherwise the nearest
    // existing one above it, or the current directory).
    void setVerzeichnis(const QString& verzeichnis);
    // The directory opened last.
    QString geoeffnet() const { return m_geoeffnet; }
    // The directory of the entry the user stands on: the one opened, or a
    // subdirectory chosen with a single click.
    QString gewaehlt() const;

private:
    void oeffnen(QTreeWidgetItem* eintrag);

    QString m_geoeffnet;
};
