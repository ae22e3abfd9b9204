#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about box: the program's name, version and build, and a link to the
// maker's web site. Made when asked for and gone when closed.
class TUeber : public QDialog {
    Q_OBJECT
public:
    explicit TUeber(QWidget* parent = nullptr);

    // The web address behind the link.
    static const QString Herstelleradresse;

    QLabel* Label1 = nullptr; // "Marlex99"
    QLabel* Label2 = nullptr;
    QLabel* Label5 = nullptr; // version
    QLabel* Label6 = nullptr; // build
    QLabel* Label7 = nullptr; // the maker's web address
    QPushButton* Button1 = nullptr;

    void Label7Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
};
