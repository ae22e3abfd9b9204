#pragma once

#include <QDialog>

class QLabel;

// A window that says a job running in one piece is under way: a fixed
// frame without border icons, centred, an hourglass cursor and one line of
// text. It lives for the whole run and is only shown and hidden by the jobs.
class Wartefenster : public QDialog {
    Q_OBJECT
protected:
    Wartefenster(QWidget* parent, const QString& name, const QString& caption, const char* textName,
                 const QString& text);

    QLabel* textfeld() const { return m_text; }

private:
    QLabel* m_text;
};
