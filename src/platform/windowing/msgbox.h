#pragma once
// Message boxes. Every box of the program goes through MessageBox, so tests
// can read each one (text, title, style) and script the answer.
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/runtime/mensagem.h"

class QWidget;

// Answers, with the platform's numbers; the extra buttons of a question
// answer mrExtra, mrExtra + 1, ...
enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7, mrExtra = 100 };

// Title of the application, used by boxes that give none.
QString applicationTitle();
void setApplicationTitle(const QString &title);

// Shows a box; a "\r" in the text is a line break. Error, exclamation,
// information and plain boxes have one OK button; question boxes Yes and No,
// Yes the default. Returns the answer.
int MessageBox(const QString &text, const QString &title, MsgStyle style);
inline int MessageBox(const Mensagem &m) { return MessageBox(m.texto, m.titulo, m.estilo); }
// A question with Yes, No and further buttons (by their captions), whose
// default button gives defaultAnswer (mrYes, mrNo or mrExtra + i). Escape
// answers No.
int MessageBox(const QString &text, const QString &title, MsgStyle style, const QStringList &extraButtons, int defaultAnswer);

// The toolkit's own confirmation with OK and Cancel ("Delete record?").
int ConfirmOkCancel(const QString &text);

struct BoxRecord {
    QString text;
    QString title;
    MsgStyle style;
    QStringList extraButtons;   // of a question, after Yes and No
    int defaultAnswer = mrNone; // the answer of the default button
};
// A responder takes the place of the real box: it receives each box and
// returns the answer. An empty function restores the real boxes.
using MessageResponder = std::function<int(const BoxRecord &)>;
void setMessageResponder(MessageResponder responder);

// The default beep of the platform.
void Beep();
