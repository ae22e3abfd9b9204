#pragma once

#include <QWidget>

class QStatusBar;
class QTextBrowser;
class QUrl;

// The supplement to the classification: the page "Hilfe\hinweis1.htm" of
// the program directory in a window of its own, always on top, without a
// close box. It lives for the whole run and is shown and hidden from the
// record page's tool bar.
class TEinstufung : public QWidget {
    Q_OBJECT
public:
    explicit TEinstufung(QWidget* parent = nullptr);

    QTextBrowser* HTML1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;

private:
    void FormCreate();
    void verweisOeffnen(const QUrl& adresse);
};

// The supplement window of the run; null before it is created and after it
// is gone.
extern TEinstufung* Einstufung;
