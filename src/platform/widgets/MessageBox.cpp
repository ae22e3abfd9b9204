#include "widgets/MessageBox.h"

#include <QPushButton>
#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

namespace widgets {

namespace {

// The one process-wide test hook; empty in the running program.
MessageBox::AnswerProvider& answerProvider()
{
    static MessageBox::AnswerProvider provider;
    return provider;
}

QMessageBox::StandardButton standardButton(Answer answer)
{
    switch (answer) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

QString germanText(Answer answer)
{
    switch (answer) {
    case Answer::Ok: return QStringLiteral("OK");
    case Answer::Cancel: return QStringLiteral("Abbrechen");
    case Answer::Yes: return QStringLiteral("&Ja");
    case Answer::No: return QStringLiteral("&Nein");
    }
    return {};
}

QMessageBox::Icon icon(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information: return QMessageBox::Information;
    case MessageKind::Warning: return QMessageBox::Warning;
    case MessageKind::Error: return QMessageBox::Critical;
    case MessageKind::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// What Escape or the close box mean: the last, most cautious button.
Answer escapeAnswer(const MessageRequest& request)
{
    return request.buttons.back();
}

MessageRequest request(MessageKind kind, const QString& title, const QString& text,
                       QList<Answer> buttons, Answer defaultButton)
{
    MessageRequest r;
    r.kind = kind;
    r.title = title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
    r.text = text;
    r.buttons = std::move(buttons);
    r.defaultButton = r.buttons.contains(defaultButton) ? defaultButton : r.buttons.front();
    return r;
}

} // namespace

Answer MessageBox::show(QWidget* parent, const MessageRequest& request)
{
    if (const AnswerProvider& provider = answerProvider()) {
        const Answer answer = provider(request);
        return request.buttons.contains(answer) ? answer : escapeAnswer(request);
    }
    QMessageBox box(icon(request.kind), request.title, request.text, QMessageBox::NoButton, parent);
    for (Answer answer : request.buttons) {
        QAbstractButton* button = box.addButton(standardButton(answer));
        button->setText(germanText(answer));
    }
    if (!request.details.isEmpty())
        box.setDetailedText(request.details);
    box.setDefaultButton(standardButton(request.defaultButton));
    box.setEscapeButton(standardButton(escapeAnswer(request)));
    box.exec();
    for (Answer answer : request.buttons)
        if (box.clickedButton() == box.button(standardButton(answer)))
            return answer;
    return escapeAnswer(request);
}

void MessageBox::information(QWidget* parent, const QString& text, const QString& title, const QString& details)
{
    MessageRequest r = request(MessageKind::Information, title, text, {Answer::Ok}, Answer::Ok);
    r.details = details;
    show(parent, r);
}

void MessageBox::warning(QWidget* parent, const QString& text, const QString& title, const QString& details)
{
    MessageRequest r = request(MessageKind::Warning, title, text, {Answer::Ok}, Answer::Ok);
    r.details = details;
    show(parent, r);
}

void MessageBox::error(QWidget* parent, const QString& text, const QString& title)
{
    show(parent, request(MessageKind::Error, title, text, {Answer::Ok}, Answer::Ok));
}

Answer MessageBox::askYesNo(QWidget* parent, const QString& text, Answer defaultButton,
                            MessageKind kind, const QString& title)
{
    return show(parent, request(kind, title, text, {Answer::Yes, Answer::No}, defaultButton));
}

Answer MessageBox::askOkCancel(QWidget* parent, const QString& text, Answer defaultButton,
                               MessageKind kind, const QString& title)
{
    return show(parent, request(kind, title, text, {Answer::Ok, Answer::Cancel}, defaultButton));
}

void MessageBox::setAnswerProvider(AnswerProvider provider)
{
    answerProvider() = std::move(provider);
}

ScopedAnswerProvider::ScopedAnswerProvider(MessageBox::AnswerProvider provider)
    : m_previous(std::exchange(answerProvider(), std::move(provider)))
{
}

ScopedAnswerProvider::~ScopedAnswerProvider()
{
    answerProvider() = std::move(m_previous);
}

bool installGermanTranslation(QApplication& app)
{
    static constexpr const char* objectName = "marlex_qtbase_de";
    if (app.findChild<QTranslator*>(QLatin1String(objectName), Qt::FindDirectChildrenOnly))
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    translator->setObjectName(QLatin1String(objectName));
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    translator.release()->setParent(&app); // the application owns it from here
    return true;
}

} // namespace widgets
