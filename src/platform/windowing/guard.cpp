#include "platform/windowing/guard.h"
#include "platform/windowing/msgbox.h"
#include "platform/runtime/errors.h"

void ShowException(const std::exception &error)
{
    if (dynamic_cast<const EAbort *>(&error))
        return;
    QString text;
    if (auto *e = dynamic_cast<const Exception *>(&error))
        text = e->message();
    else
        text = QString::fromUtf8(error.what());
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        text += QLatin1Char('.');
    MessageBox(text, applicationTitle(), MsgStyle::Error);
}

bool Guard(const std::function<void()> &fn)
{
    try {
        fn();
        return true;
    } catch (const std::exception &e) {
        ShowException(e);
    } catch (...) {
        ShowException(Exception(QStringLiteral("Unknown error")));
    }
    return false;
}
