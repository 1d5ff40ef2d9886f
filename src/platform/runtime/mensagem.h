#pragma once
// A message for the user: its text, title and style. Jobs give messages in
// this form; a window shows each in a message box, the command line writes
// its text. A "\r" in a text is a line break.
#include <QString>

enum class MsgStyle { Error, Exclamation, Information, Question, Plain };

struct Mensagem {
    QString texto;
    QString titulo;
    MsgStyle estilo = MsgStyle::Information;
};
