#include "platform/ui/QtMessageBoxes.h"

#include <QMessageBox>

namespace {

QMessageBox::Icon iconOf(int flags)
{
    switch (flags & 0xF0) {
    case Mb::IconStop:
        return QMessageBox::Critical;
    case Mb::IconQuestion:
        return QMessageBox::Question;
    case Mb::IconWarning:
        return QMessageBox::Warning;
    case Mb::IconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int QtMessageBoxes::show(const QString& text, int flags, const QString& caption)
{
    // The program's texts break lines with CR LF (or bare CR); a label wants LF.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(iconOf(flags), caption, shown, QMessageBox::NoButton, m_owner);
    box.setTextFormat(Qt::PlainText);
    if (flags & Mb::SystemModal)
        box.setWindowModality(Qt::ApplicationModal);
    switch (flags & 0x0F) {
    case Mb::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Mb::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Mb::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Mb::IdOk;
    case QMessageBox::Cancel:
        return Mb::IdCancel;
    case QMessageBox::Yes:
        return Mb::IdYes;
    case QMessageBox::No:
        return Mb::IdNo;
    default:
        // Closed by the title bar: what Escape would have chosen.
        return (flags & 0x0F) == Mb::Ok ? Mb::IdOk : ((flags & 0x0F) == Mb::YesNo ? Mb::IdNo : Mb::IdCancel);
    }
}
