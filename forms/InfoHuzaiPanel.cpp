// The absence panel of the detail window: the return date from the calendar pop-up, the
// return time, the status mark, the reason with its history, and Set and Reset.

#include "board/EFileIOError.h"
#include "board/TVurnaBoardModel.h"
#include "forms/InfoTexts.h"
#include "forms/TVurnaCalendar.h"
#include "forms/TfrmInfo.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/MessageBoxes.h"
#include "platform/SjisText.h"
#include "store/DateTimeText.h"
#include "store/HistoryFile.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

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

void TfrmInfo::ConnectHuzaiPanel()
{
    // Only digits and ':' enter the return time, typed or pasted.
    m_cmbReturnTime->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9:]*")), m_cmbReturnTime));
    connect(m_calMonth, &TVurnaCalendar::OnClick, this, &TfrmInfo::CalendarPicked);
    connect(m_calMonth, &TVurnaCalendar::OnChange, this, &TfrmInfo::CalendarPicked);
    connect(m_calMonth, &TVurnaCalendar::OnMouseMove, this,
            [this] { m_memWhatDay->setPlainText(m_calMonth->WhatDay()); });
    connect(m_btnToday, &QPushButton::clicked, this, [this] {
        SetDate(m_context.clock.now().date());
        UpdateHistoryButtons();
    });
    connect(m_btnPrevMonth, &QPushButton::clicked, this, [this] { MoveMonth(-1); });
    connect(m_btnNextMonth, &QPushButton::clicked, this, [this] { MoveMonth(1); });
    connect(m_btnDeleteHistory, &QPushButton::clicked, this, &TfrmInfo::DeleteHistoryClick);
    connect(m_btnCopyFromHistory, &QPushButton::clicked, this, &TfrmInfo::CopyFromHistory);
    connect(m_lstHistory, &QListWidget::itemDoubleClicked, this, &TfrmInfo::CopyFromHistory);
    connect(m_lstHistory, &QListWidget::itemSelectionChanged, this, &TfrmInfo::UpdateHistoryButtons);
    connect(m_btnHuzaiSet, &QPushButton::clicked, this, &TfrmInfo::HuzaiSetClick);
    connect(m_btnHuzaiReset, &QPushButton::clicked, this, &TfrmInfo::HuzaiResetClick);
    connect(m_btnHuzaiCancel, &QPushButton::clicked, this, &TfrmInfo::pnlInfoClose);
}

void TfrmInfo::SetHuzaiPanel(const TVurnaDataRec& member)
{
    const QDate today = m_context.clock.now().date();
    SetDate(m_calMonth->Date().isValid() ? m_calMonth->Date() : today);
    m_edtMonth->clear();
    m_cmbReturnTime->setEditText(QString());
    m_memHuzai->clear();
    m_cmbStatus->setCurrentIndex(m_cmbStatus->count() > 0 ? 0 : -1);
    m_rbtnNoReturnDate->setChecked(true);
    m_lstHistory->clear();
    m_historyReadOk = true;

    m_calMonth->SetWeekend(m_site.Weekend);
    m_calMonth->SetWorkDay(m_site.WorkDays);
    m_calMonth->SetHoliDay(m_site.Holidays);

    if (SelectedCount() != 1) {
        UpdateHistoryButtons();
        return;
    }
    if (m_presetToday) {
        SetDate(today);
    } else {
        m_memHuzai->setPlainText(Cp932::toUnicode(member.Locate));
        if (member.StatusIndex >= 0 && member.StatusIndex < m_cmbStatus->count())
            m_cmbStatus->setCurrentIndex(member.StatusIndex);
        if (DateTimeText::IsDateTimeText(member.Date, today)) {
            const std::optional<QDate> day =
                DateTimeText::ParseDate(SjisText::trim(member.Date).split(' ').first(), today);
            if (day) {
                SetDate(*day);
                if (DateTimeText::IsDateTimeText(member.Time, today))
                    m_cmbReturnTime->setEditText(Cp932::toUnicode(member.Time));
            }
        }
    }
    const HistoryFile::Lines history = HistoryFile::Read(member.FileName, m_context.files);
    m_historyReadOk = history.ok;
    for (const QByteArray& line : history.lines)
        m_lstHistory->addItem(Cp932::toUnicode(line));
    UpdateHistoryButtons();
}

void TfrmInfo::SetDate(const QDate& date)
{
    m_rbtnDateTime->setChecked(true);
    m_edtMonth->setText(DateTimeText::FormatDate(date));
    // A date set here is no pick of the user's: the calendar says nothing about it.
    const QSignalBlocker quiet(m_calMonth);
    m_calMonth->SetDate(date);
    m_calMonth->update();
}

void TfrmInfo::edtMonthClick()
{
    const bool show = !m_pnlReturnDate->isVisible();
    if (show) {
        const QPoint below = m_edtMonth->mapTo(this, QPoint(0, m_edtMonth->height()));
        // Below the field where the window has room, else as low as it fits.
        m_pnlReturnDate->move(qMax(0, qMin(below.x(), width() - m_pnlReturnDate->width())),
                              qMax(0, qMin(below.y(), height() - m_pnlReturnDate->height())));
        m_pnlReturnDate->raise();
        m_pnlReturnDate->show();
        if (!DateTimeText::IsDateTimeText(m_edtMonth->text().toLatin1(), m_context.clock.now().date()))
            SetDate(m_context.clock.now().date());
    } else {
        m_pnlReturnDate->hide();
    }
    UpdateHistoryButtons();
}

void TfrmInfo::CalendarPicked()
{
    m_pnlReturnDate->hide();
    SetDate(m_calMonth->Date());
    UpdateHistoryButtons();
}

void TfrmInfo::MoveMonth(int months)
{
    // QDate::addMonths keeps the day where the target month has it, else its last day.
    SetDate(m_calMonth->Date().addMonths(months));
    UpdateHistoryButtons();
}

void TfrmInfo::DeleteHistoryClick()
{
    for (QListWidgetItem* item : m_lstHistory->selectedItems())
        delete item;
    m_lstHistory->setCurrentRow(-1);
    UpdateHistoryButtons();
}

void TfrmInfo::CopyFromHistory()
{
    QStringList lines;
    for (int i = 0; i < m_lstHistory->count(); ++i) {
        if (m_lstHistory->item(i)->isSelected())
            lines.append(m_lstHistory->item(i)->text());
    }
    for (const QString& line : lines)
        m_memHuzai->appendPlainText(line);
}

void TfrmInfo::UpdateHistoryButtons()
{
    const bool chosen = m_lstHistory->count() > 0 && !m_lstHistory->selectedItems().isEmpty();
    m_btnCopyFromHistory->setEnabled(chosen);
    m_btnDeleteHistory->setEnabled(chosen);
}

void TfrmInfo::cmbReturnTimeExit()
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

bool TfrmInfo::ReadSelectionAfresh(TVurnaDataArray& records)
{
    records = m_selection;
    try {
        // Each record as its file holds it now: the window may have stood open for an hour, and
        // only the absence fields are the user's to change.
        for (qsizetype i = 1; i < records.size(); ++i)
            m_context.board.LoadUserRecord(records[i]);
    } catch (const EFileIOError& e) {
        m_context.boxes.show(e.message(), Mb::Ok | Mb::IconStop);
        return false;
    }
    return true;
}

void TfrmInfo::HuzaiSetClick()
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
    TVurnaDataArray records;
    if (!ReadSelectionAfresh(records))
        return;
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
    pnlInfoClose();
}

void TfrmInfo::HuzaiResetClick()
{
    if (SelectedCount() > 1 &&
        m_context.boxes.show(
            QStringLiteral("複数の人に対して不在解除を行おうとしています。\r\n\r\n本当に実行してもよろしいですか？"),
            Mb::OkCancel | Mb::IconWarning) != Mb::IdOk)
        return;
    TVurnaDataArray records;
    if (!ReadSelectionAfresh(records))
        return;
    m_context.setHuzai(records, {}, 0, {}, {});
    HistoryAdd({});
    pnlInfoClose();
}

void TfrmInfo::HistoryAdd(const QByteArray& newText)
{
    if (SelectedCount() == 1) {
        // The list's lines, after the user's deletions, are the old history. A file that could
        // not be read is not replaced by what little the list holds.
        if (!m_historyReadOk)
            return;
        QByteArray old;
        for (int i = 0; i < m_lstHistory->count(); ++i) {
            if (i > 0)
                old += "\r\n";
            old += Cp932::fromUnicode(m_lstHistory->item(i)->text()).bytes;
        }
        HistoryFile::Write(m_selection.at(1).FileName, HistoryFile::MergeHistory(old, newText, 15), m_context.files);
        return;
    }
    QList<QByteArray> members;
    for (qsizetype i = 1; i < m_selection.size(); ++i)
        members.append(m_selection.at(i).FileName);
    HistoryFile::AddToMembers(members, newText, m_context.files);
}
