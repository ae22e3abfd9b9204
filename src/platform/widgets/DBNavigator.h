#pragma once

#include <array>

#include <QStringList>
#include <QWidget>

class QToolButton;

namespace widgets {

class DataSource;

// A navigator bar on a data source: the buttons first, prior, next and last
// move its table, and clicked() then tells which one was pressed. The
// buttons are enabled while the source is active and its table holds rows.
class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last };

    explicit DBNavigator(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_source; }
    // Tool tips and status tips of the buttons, in the order first, prior,
    // next, last.
    void setHints(const QStringList& hints);
    // The button, named "nbFirst", "nbPrior", "nbNext" or "nbLast".
    QToolButton* button(Button which) const { return m_buttons[static_cast<std::size_t>(which)]; }

signals:
    // After the table was moved.
    void clicked(widgets::DBNavigator::Button button);

private:
    void press(Button which);
    void updateButtons();

    DataSource* m_source = nullptr;
    std::array<QToolButton*, 4> m_buttons{};
};

} // namespace widgets
