#include "platform/windowing/msgbox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
QString &titleStorage()
{
    static QString title;
    return title;
}
MessageResponder &responder()
{
    static MessageResponder r;
    return r;
}
} // namespace

QString applicationTitle()
{
    return titleStorage();
}

void setApplicationTitle(const QString &title)
{
    titleStorage() = title;
}

void setMessageResponder(MessageResponder r)
{
    responder() = std::move(r);
}

int MessageBox(const QString &text, const QString &title, MsgStyle style)
{
    return MessageBox(text, title, style, {}, style == MsgStyle::Question ? mrYes : mrOk);
}

int MessageBox(const QString &text, const QString &title, MsgStyle style, const QStringList &extraButtons, int defaultAnswer)
{
    const QString shownTitle = title.isEmpty() ? applicationTitle() : title;
    if (responder())
        return responder()({text, shownTitle, style, extraButtons, defaultAnswer});
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(shownTitle);
    box.setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    switch (style) {
    case MsgStyle::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgStyle::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgStyle::Information: box.setIcon(QMessageBox::Information); break;
    case MsgStyle::Question: box.setIcon(QMessageBox::Question); break;
    case MsgStyle::Plain: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (style == MsgStyle::Question) {
        QAbstractButton *yes = box.addButton(QMessageBox::Yes);
        box.addButton(QMessageBox::No);
        yes->setText(QStringLiteral("&Sim"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Não"));
        QList<QAbstractButton *> extras;
        for (const QString &caption : extraButtons)
            extras << box.addButton(caption, QMessageBox::ActionRole);
        if (defaultAnswer == mrNo)
            box.setDefaultButton(QMessageBox::No);
        else if (defaultAnswer >= mrExtra && defaultAnswer - mrExtra < extras.size())
            box.setDefaultButton(static_cast<QPushButton *>(extras[defaultAnswer - mrExtra]));
        else
            box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        box.exec();
        if (box.clickedButton() == yes)
            return mrYes;
        const qsizetype extra = extras.indexOf(box.clickedButton());
        return extra >= 0 ? int(mrExtra + extra) : mrNo;
    }
    box.addButton(QMessageBox::Ok);
    box.exec();
    return mrOk;
}

int ConfirmOkCancel(const QString &text)
{
    if (responder())
        return responder()({text, QStringLiteral("Confirm"), MsgStyle::Question}) == mrCancel ? mrCancel : mrOk;
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QStringLiteral("Confirm"));
    box.setIcon(QMessageBox::Question);
    box.setText(text);
    box.addButton(QMessageBox::Ok);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? mrOk : mrCancel;
}

void Beep()
{
    QApplication::beep();
}
