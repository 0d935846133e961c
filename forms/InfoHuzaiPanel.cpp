#include "forms/InfoHuzaiPanel.h"

#include "board/BoardModel.h"
#include "forms/InfoTexts.h"
#include "forms/ReturnDatePopup.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/MessageBoxes.h"
#include "platform/SjisText.h"
#include "store/DateTimeText.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Typed text as the files carry it: CP932 with CR LF line ends. Callers have refused text
// that has no CP932 form.
QByteArray fileText(const QString& typed)
{
    QString text = typed;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return Cp932::fromUnicode(text).bytes;
}

} // namespace

InfoHuzaiPanel::InfoHuzaiPanel(const InfoContext& context, const ParmRec& site, const TVurnaDataArray& selection,
                               QWidget* window)
    : QFrame(window), m_context(context), m_site(site), m_selection(selection)
{
    Build();
    Connect();
    // The calendar pop-up closes when the user clicks anywhere else or leaves the program.
    qApp->installEventFilter(this);
}

InfoHuzaiPanel::~InfoHuzaiPanel()
{
    qApp->removeEventFilter(this);
}

QIcon InfoHuzaiPanel::StatusMarkIcon(int picture) const
{
    // The closed list shows the chosen mark as its list draws it: the picture on white.
    const QPixmap source = m_context.statusPictures.value(picture);
    if (source.isNull())
        return {};
    QPixmap onWhite(31, 32);
    onWhite.fill(Qt::white);
    QPainter painter(&onWhite);
    painter.drawPixmap(onWhite.rect(), source, QRect(0, 0, 31, 31));
    return QIcon(onWhite);
}

void InfoHuzaiPanel::Prepare(bool presetToday)
{
    m_presetToday = presetToday;
    m_cmbReturnTime->clear();
    for (const QByteArray& time : m_site.TimeTable)
        m_cmbReturnTime->addItem(Cp932::toUnicode(time));
    m_cmbStatus->clear();
    for (int i = 0; i < m_site.MarkCount(); ++i)
        m_cmbStatus->addItem(StatusMarkIcon(2 * i + 4), Cp932::toUnicode(m_site.StatusTable.value(2 * i + 4).Name));
}

void InfoHuzaiPanel::ShowMember(const TVurnaDataRec& member)
{
    const QDate today = m_context.clock.now().date();
    SetDate(m_pnlReturnDate->Date().isValid() ? m_pnlReturnDate->Date() : today);
    m_edtMonth->clear();
    m_cmbReturnTime->setEditText(QString());
    m_memHuzai->clear();
    m_cmbStatus->setCurrentIndex(m_cmbStatus->count() > 0 ? 0 : -1);
    m_rbtnNoReturnDate->setChecked(true);
    m_lstHistory->clear();
    m_history = History::None;
    m_historyFor.clear();
    m_pnlReturnDate->SetDays(m_site);

    if (SelectedCount() != 1) {
        UpdateHistoryButtons();
        return;
    }
    if (m_presetToday)
        SetDate(today);
    else
        FillAbsence(member);
    m_filled = EntryOnShow();
    UpdateHistoryButtons();
    if (!m_context.history.read) {
        m_history = History::Shown; // none kept: an empty history
        return;
    }
    m_history = History::Asked;
    m_historyFor = member.FileName;
    m_context.Run<std::optional<QList<QByteArray>>>(
        "info history", [read = m_context.history.read, path = member.FileName] { return read(path); }, this,
        [this, path = member.FileName](const std::optional<QList<QByteArray>>& history) {
            if (path != m_historyFor)
                return; // another member's is on the way
            m_history = history ? History::Shown : History::Unreadable;
            for (const QByteArray& line : history.value_or(QList<QByteArray>()))
                m_lstHistory->addItem(Cp932::toUnicode(line));
            UpdateHistoryButtons();
        });
}

void InfoHuzaiPanel::FillAbsence(const TVurnaDataRec& member)
{
    const QDate today = m_context.clock.now().date();
    m_memHuzai->setPlainText(Cp932::toUnicode(member.Locate));
    if (member.StatusIndex >= 0 && member.StatusIndex < m_cmbStatus->count())
        m_cmbStatus->setCurrentIndex(member.StatusIndex);
    if (DateTimeText::IsDateTimeText(member.Date, today)) {
        const std::optional<QDate> day = DateTimeText::ParseDate(SjisText::trim(member.Date).split(' ').first(), today);
        if (day) {
            SetDate(*day);
            if (DateTimeText::IsDateTimeText(member.Time, today))
                m_cmbReturnTime->setEditText(Cp932::toUnicode(member.Time));
        }
    }
}

InfoHuzaiPanel::Entry InfoHuzaiPanel::EntryOnShow() const
{
    return {m_memHuzai->toPlainText(), m_edtMonth->text(), m_cmbReturnTime->currentText(), m_cmbStatus->currentIndex(),
            m_rbtnDateTime->isChecked()};
}

void InfoHuzaiPanel::MemberReadAfresh(const TVurnaDataRec& member)
{
    // What the user has begun to enter is theirs; an untouched entry follows the file.
    if (SelectedCount() != 1 || m_presetToday || EntryOnShow() != m_filled)
        return;
    m_edtMonth->clear();
    m_cmbReturnTime->setEditText(QString());
    m_cmbStatus->setCurrentIndex(m_cmbStatus->count() > 0 ? 0 : -1);
    m_rbtnNoReturnDate->setChecked(true);
    FillAbsence(member);
    m_filled = EntryOnShow();
}

void InfoHuzaiPanel::TakeFocus()
{
    m_edtMonth->setFocus();
}

void InfoHuzaiPanel::HideReturnDate()
{
    m_pnlReturnDate->hide();
}

void InfoHuzaiPanel::SetDate(const QDate& date)
{
    m_rbtnDateTime->setChecked(true);
    m_edtMonth->setText(DateTimeText::FormatDate(date));
    m_pnlReturnDate->SetDate(date);
}

void InfoHuzaiPanel::edtMonthClick()
{
    const bool show = !m_pnlReturnDate->isVisible();
    if (show) {
        QWidget* on = m_pnlReturnDate->parentWidget();
        const QPoint below = m_edtMonth->mapTo(on, QPoint(0, m_edtMonth->height()));
        // Below the field where the window has room, else as low as it fits.
        m_pnlReturnDate->move(qMax(0, qMin(below.x(), on->width() - m_pnlReturnDate->width())),
                              qMax(0, qMin(below.y(), on->height() - m_pnlReturnDate->height())));
        m_pnlReturnDate->raise();
        m_pnlReturnDate->show();
        if (!DateTimeText::IsDateTimeText(m_edtMonth->text().toLatin1(), m_context.clock.now().date()))
            SetDate(m_context.clock.now().date());
    } else {
        m_pnlReturnDate->hide();
    }
    UpdateHistoryButtons();
}

void InfoHuzaiPanel::CalendarPicked(const QDate& date)
{
    m_pnlReturnDate->hide();
    SetDate(date);
    UpdateHistoryButtons();
}

void InfoHuzaiPanel::DeleteHistoryClick()
{
    for (QListWidgetItem* item : m_lstHistory->selectedItems())
        delete item;
    m_lstHistory->setCurrentRow(-1);
    UpdateHistoryButtons();
}

void InfoHuzaiPanel::CopyFromHistory()
{
    QStringList lines;
    for (int i = 0; i < m_lstHistory->count(); ++i) {
        if (m_lstHistory->item(i)->isSelected())
            lines.append(m_lstHistory->item(i)->text());
    }
    for (const QString& line : lines)
        m_memHuzai->appendPlainText(line);
}

void InfoHuzaiPanel::UpdateHistoryButtons()
{
    const bool chosen = m_lstHistory->count() > 0 && !m_lstHistory->selectedItems().isEmpty();
    m_btnCopyFromHistory->setEnabled(chosen);
    m_btnDeleteHistory->setEnabled(chosen);
}

void InfoHuzaiPanel::cmbReturnTimeExit()
{
    if (m_checkingTime)
        return;
    m_btnHuzaiSet->setEnabled(true);
    const QString text = m_cmbReturnTime->currentText();
    if (text.isEmpty() || DateTimeText::IsDateTimeText(text.toLatin1(), m_context.clock.now().date()))
        return;
    m_checkingTime = true;
    m_context.boxes.show(QStringLiteral("戻り時間の値は有効ではありません。"), Mb::Ok | Mb::IconStop);
    m_cmbReturnTime->setEditText(QString());
    m_checkingTime = false;
}

void InfoHuzaiPanel::HuzaiSetClick()
{
    const QDate today = m_context.clock.now().date();
    const QString typed = m_memHuzai->toPlainText();
    if (const std::optional<QString> refusal = InfoTexts::RefusalForReason(typed)) {
        m_context.boxes.show(*refusal, Mb::Ok | Mb::IconWarning);
        return;
    }
    const QByteArray reason = SjisText::trim(fileText(typed));
    if (reason.isEmpty()) {
        m_context.boxes.show(QStringLiteral("不在理由を入力して下さい。"), Mb::Ok | Mb::IconWarning);
        return;
    }
    const bool withDate = m_rbtnDateTime->isChecked();
    if (withDate && !DateTimeText::IsDateTimeText(m_edtMonth->text().toLatin1(), today)) {
        m_context.boxes.show(QStringLiteral("戻り日付を入力して下さい。"), Mb::Ok | Mb::IconWarning);
        return;
    }
    const QString time = m_cmbReturnTime->currentText();
    if (withDate && !time.isEmpty() && !DateTimeText::IsDateTimeText(time.toLatin1(), today)) {
        cmbReturnTimeExit();
        return;
    }
    if (SelectedCount() > 1 &&
        m_context.boxes.show(
            QStringLiteral("複数の人に対して操作を行おうとしています。\r\n\r\n本当に実行してもよろしいですか？"),
            Mb::OkCancel | Mb::IconWarning) != Mb::IdOk)
        return;
    // The absence goes over what each file holds when the write runs: the window may have stood
    // open for an hour, and only the absence fields are the user's to change.
    TVurnaDataArray records = m_selection;
    const int mark = qMax(0, m_cmbStatus->currentIndex());
    if (withDate) {
        m_context.setHuzai(records, reason, mark, time.toLatin1(), m_edtMonth->text().toLatin1());
    } else {
        // The mark's name stands where the date would: the board shows it as the return text,
        // and a member with a date field set is never shown as present.
        QByteArray name = m_site.StatusTable.value(2 * mark + 4).Name;
        if (SjisText::trim(name).isEmpty())
            name = Cp932::fromUnicodeLossy(QStringLiteral("不在"));
        m_context.setHuzai(records, reason, mark, {}, name);
    }
    HistoryAdd(fileText(typed));
    emit CloseRequested();
}

void InfoHuzaiPanel::HuzaiResetClick()
{
    if (SelectedCount() > 1 &&
        m_context.boxes.show(
            QStringLiteral("複数の人に対して不在解除を行おうとしています。\r\n\r\n本当に実行してもよろしいですか？"),
            Mb::OkCancel | Mb::IconWarning) != Mb::IdOk)
        return;
    TVurnaDataArray records = m_selection;
    m_context.setHuzai(records, {}, 0, {}, {});
    HistoryAdd({});
    emit CloseRequested();
}

void InfoHuzaiPanel::HistoryAdd(const QByteArray& newText)
{
    const ReasonHistory& history = m_context.history;
    // The list's lines, after the user's deletions, are the old history. A history that could
    // not be read is not replaced by what little the list holds.
    if (SelectedCount() == 1 && m_history == History::Shown) {
        if (!history.replace)
            return;
        QByteArray kept;
        for (int i = 0; i < m_lstHistory->count(); ++i) {
            if (i > 0)
                kept += "\r\n";
            kept += Cp932::fromUnicode(m_lstHistory->item(i)->text()).bytes;
        }
        m_context.Run([replace = history.replace, path = m_selection.at(1).FileName, kept, newText] {
            replace(path, kept, newText);
        });
        return;
    }
    if (SelectedCount() == 1 && m_history == History::Unreadable)
        return;
    // Several members, or one whose history the share has not answered yet: the reason goes on
    // top of each history as the file holds it when the write runs.
    if (!history.add)
        return;
    QList<QByteArray> members;
    for (qsizetype i = 1; i < m_selection.size(); ++i)
        members.append(m_selection.at(i).FileName);
    m_context.Run([add = history.add, members, newText] { add(members, newText); });
}

bool InfoHuzaiPanel::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (watched == m_edtMonth) {
            edtMonthClick();
            return true;
        }
        if (m_pnlReturnDate->isVisible() && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget != m_pnlReturnDate && !m_pnlReturnDate->isAncestorOf(widget) && widget->window() == window())
                m_pnlReturnDate->hide();
        }
        break;
    case QEvent::ApplicationDeactivate:
        m_pnlReturnDate->hide();
        break;
    case QEvent::FocusOut:
        if (watched == m_cmbReturnTime->lineEdit())
            cmbReturnTimeExit();
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}
