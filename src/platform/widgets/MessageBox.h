#pragma once

#include <functional>

#include <QList>
#include <QString>

class QApplication;
class QWidget;

namespace widgets {

enum class Answer { Ok, Cancel, Yes, No };
enum class MessageKind { Information, Warning, Error, Question };

// What a message box would show; handed to an answer provider.
struct MessageRequest {
    MessageKind kind = MessageKind::Information;
    QString title;
    QString text;
    QList<Answer> buttons;
    Answer defaultButton = Answer::Ok;
    // A long list behind the text (names of files, say), shown on demand in
    // a scrolling field, so the box stays as small as its text.
    QString details;
};

// Message boxes with German buttons ("OK", "Abbrechen", "&Ja", "&Nein"),
// whether or not Qt's translation is loaded. A title left empty is the
// application's display name, as the program's plain messages have it.
class MessageBox {
public:
    static void information(QWidget* parent, const QString& text, const QString& title = {},
                            const QString& details = {});
    static void warning(QWidget* parent, const QString& text, const QString& title = {},
                        const QString& details = {});
    static void error(QWidget* parent, const QString& text, const QString& title = {});
    // Ja/Nein; Escape and closing the box answer Nein.
    static Answer askYesNo(QWidget* parent, const QString& text, Answer defaultButton = Answer::No,
                           MessageKind kind = MessageKind::Question, const QString& title = {});
    // OK/Abbrechen; Escape and closing the box answer Abbrechen.
    static Answer askOkCancel(QWidget* parent, const QString& text, Answer defaultButton = Answer::Ok,
                              MessageKind kind = MessageKind::Question, const QString& title = {});

    // While set, the provider answers instead of a box on the screen, so
    // tests can drive dialogs without a user. An answer that is not one of
    // the request's buttons counts as the box's escape answer.
    using AnswerProvider = std::function<Answer(const MessageRequest&)>;
    static void setAnswerProvider(AnswerProvider provider);

private:
    static Answer show(QWidget* parent, const MessageRequest& request);
};

// Installs an answer provider for its lifetime and puts the earlier one back.
class ScopedAnswerProvider {
public:
    explicit ScopedAnswerProvider(MessageBox::AnswerProvider provider);
    ~ScopedAnswerProvider();
    ScopedAnswerProvider(const ScopedAnswerProvider&) = delete;
    ScopedAnswerProvider& operator=(const ScopedAnswerProvider&) = delete;

private:
    MessageBox::AnswerProvider m_previous;
};

// Loads Qt's German translation ("qtbase_de" from Qt's translations folder),
// so the standard dialogs speak German; once per application. False when
// the translation file is missing.
bool installGermanTranslation(QApplication& app);

} // namespace widgets
