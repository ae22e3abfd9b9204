#pragma once

#include <memory>

#include <QString>

class QLockFile;

// The folder of one program run's own tables: the research tables and the
// list filter's table. Each run has its own, in the user's folder, so a
// research or a filter of one user never replaces the tables another
// user's list shows, and no run is refused because another holds them.
//
// Beside the folder lies a lock file (QLockFile) held while the run lives.
// A run that ended without removing its folder (a crash, a kill) leaves a
// lock file whose process is gone; the next start in that place removes
// such folders, and only those. Shared tables of older versions in the
// register's folder are never touched.
class Laufordner {
public:
    // Makes the run's folder in `basis` (made when missing) and removes the
    // folders of ended runs there. dbase::DbaseError with a German message
    // when the folder cannot be made.
    explicit Laufordner(const QString& basis);
    // Removes the folder and its lock file.
    ~Laufordner();
    Laufordner(const Laufordner&) = delete;
    Laufordner& operator=(const Laufordner&) = delete;

    const QString& pfad() const { return m_pfad; }

    // The folders of ended runs in `basis` removed; the live ones stay.
    static void aufraeumen(const QString& basis);

private:
    QString m_pfad;
    std::unique_ptr<QLockFile> m_sperre;
};
