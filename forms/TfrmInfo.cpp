#include "forms/TfrmInfo.h"

#include "board/EFileIOError.h"
#include "board/TVurnaBoardModel.h"
#include "forms/InfoTexts.h"
#include "forms/ShadowLabel.h"
#include "forms/TVurnaCalendar.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/MessageBoxes.h"
#include "store/ParcelPost.h"
#include "store/StatusReport.h"
#include "store/StatusSink.h"
#include "store/ui/MemoBoardView.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QToolButton>

Q_LOGGING_CATEGORY(lcInfo, "vurna.board", QtWarningMsg)

namespace {

QString shown(const QByteArray& bytes)
{
    return Cp932::toUnicode(bytes);
}

} // namespace

QIcon TfrmInfo::StatusMarkIcon(int picture) const
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

TfrmInfo::TfrmInfo(InfoContext context, QWidget* parent) : QDialog(parent), m_context(std::move(context))
{
    BuildWindow();
    // The return-date pop-up closes when the user clicks anywhere else or leaves the program.
    qApp->installEventFilter(this);
}

TfrmInfo::~TfrmInfo()
{
    qApp->removeEventFilter(this);
}

void TfrmInfo::ShowInfo(const ParmRec& site, const TVurnaDataArray& selection, bool presetToday, Mode mode)
{
    if (!Prepare(site, selection, presetToday, mode))
        return;
    exec();
}

bool TfrmInfo::Prepare(const ParmRec& site, const TVurnaDataArray& selection, bool presetToday, Mode mode)
{
    try {
        if (selection.size() < 2)
            throw std::runtime_error("no member");
        m_site = site;
        m_selection = selection;
        m_presetToday = presetToday;
        if (parentWidget())
            setWindowIcon(parentWidget()->windowIcon());

        m_cmbReturnTime->clear();
        for (const QByteArray& time : m_site.TimeTable)
            m_cmbReturnTime->addItem(shown(time));
        m_cmbStatus->clear();
        for (int i = 0; i < m_site.MarkCount(); ++i)
            m_cmbStatus->addItem(StatusMarkIcon(2 * i + 4), shown(m_site.StatusTable.value(2 * i + 4).Name));

        m_cmbName->clear();
        for (int i = 1; i < m_selection.size(); ++i)
            m_cmbName->addItem(shown(m_selection.at(i).Name));
        m_cmbName->setCurrentIndex(0);
        cmbNameChange(0);

        const TVurnaDataRec& first = m_selection.at(1);
        const TVurnaDataRec& last = m_selection.last();
        m_edtFuriganaFrom->setText(shown(first.Furigana));
        m_edtNameFrom->setText(shown(first.Name));
        m_edtFuriganaTo->setText(shown(last.Furigana));
        m_edtNameTo->setText(shown(last.Name));
        setWindowTitle(InfoTexts::SelectionCaption(shown(first.Name), shown(last.Name), SelectedCount()));

        m_memSend->setPlainText(
            InfoTexts::MemoHeader(shown(m_context.own.Name), mode == Mode::SendFiles, m_context.clock.now()));
        if (mode == Mode::SendFiles) {
            m_sbtnSend->hide();
            m_sbtnTrans->show();
        }
        ApplyGeometry();
        SwitchMode(mode);
        return true;
    } catch (const std::exception& e) {
        qCWarning(lcInfo) << "detail window not filled:" << e.what();
        ReportStatus(m_context.status, QStringLiteral("詳細表示画面の初期化に失敗しました。"), Severity::Fault);
        pnlInfoClose();
        return false;
    }
}

void TfrmInfo::ApplyGeometry()
{
    QWidget* main = parentWidget();
    if (!main)
        return;
    const int width = main->width();
    const int height = qMax(200, main->height() - 48);
    setMinimumSize(width, height);
    setMaximumWidth(width);
    resize(width, height);
    move(main->geometry().center() - rect().center());
}

void TfrmInfo::SwitchMode(Mode mode)
{
    m_mode = mode;
    QAbstractButton* pressed = m_modeButtons->button(int(mode));
    if (pressed)
        pressed->setChecked(true);
    for (QWidget* panel : {static_cast<QWidget*>(m_pnlMultiUsers), m_pnlInfo, m_pnlRead, m_pnlSend, m_pnlHuzai})
        panel->hide();
    m_pnlReturnDate->hide();
    const bool several = SelectedCount() > 1;
    switch (mode) {
    case Mode::Details:
        m_pnlInfo->show();
        m_btnInfoCancel->setFocus();
        break;
    case Mode::DengonRead:
        m_pnlRead->show();
        m_memReadRich->setFocus();
        break;
    case Mode::DengonSend:
    case Mode::SendFiles: {
        m_pnlSend->show();
        m_memSend->setFocus();
        QTextCursor end = m_memSend->textCursor();
        end.movePosition(QTextCursor::End);
        m_memSend->setTextCursor(end);
        m_pnlMultiUsers->setVisible(several);
        break;
    }
    case Mode::HuzaiSet:
        m_pnlHuzai->show();
        m_edtMonth->setFocus();
        m_pnlMultiUsers->setVisible(several);
        break;
    }
    if (m_pnlMultiUsers->isVisible())
        m_pnlMultiUsers->raise();
}

void TfrmInfo::cmbNameChange(int index)
{
    const int at = index + 1;
    if (at < 1 || at >= m_selection.size())
        return;
    TVurnaDataRec& member = m_selection[at];
    // The window may show someone whose file changed since the board last read it.
    try {
        m_context.board.LoadUserRecord(member);
        m_context.board.Reload(member.FileName);
    } catch (const EFileIOError& e) {
        m_context.boxes.show(e.message(), Mb::Ok | Mb::IconStop);
    }
    SetInfoPanel(member);
    SetReadPanel(member);
    SetHuzaiPanel(member);
}

void TfrmInfo::SetInfoPanel(const TVurnaDataRec& member)
{
    m_edtFurigana->setText(shown(member.Furigana));
    m_cmbName->setItemText(m_cmbName->currentIndex(), shown(member.Name));
    m_edtIPAddress->setText(shown(member.IP));
    m_edtGroup->setText(shown(member.Group));
    m_edtWarningCall->setText(shown(member.WarningCall));
    m_edtInnerLine->setText(shown(member.InnerLine));
    m_memLocate->setPlainText(shown(member.Locate));
    m_edtReturn->setText(InfoTexts::ReturnText(member.Date, member.Time, m_context.clock.now().date()));
    m_edtLastUpdate->setText(member.Locate.isEmpty() ? QString() : InfoTexts::LastUpdateText(member.FileTime));
}

void TfrmInfo::SetReadPanel(const TVurnaDataRec& member)
{
    const bool unread =
        MemoBoardView::ShowMemoBoard(*m_memReadRich, member, false, m_context.status, m_context.memoPolicy);
    m_context.status.setProgress(-1);
    if (unread) {
        m_lblRead->setText(QStringLiteral("この伝言板には、未読伝言があります。"));
        m_lblRead->setColour(Qt::yellow);
    } else {
        m_lblRead->setText(QStringLiteral("この伝言板には、未読伝言はありません。"));
        m_lblRead->setColour(Qt::white);
    }
}

void TfrmInfo::btnSendClick()
{
    if (SelectedCount() >= 2 &&
        m_context.boxes.show(
            QStringLiteral("複数の人に対して送信を行おうとしています。\r\n\r\n本当に送信してもよろしいですか？"),
            Mb::OkCancel | Mb::IconWarning) != Mb::IdOk)
        return;
    const QString typed = m_memSend->toPlainText();
    if (const std::optional<QString> refusal = InfoTexts::RefusalForMemo(typed)) {
        m_context.boxes.show(*refusal, Mb::Ok | Mb::IconWarning);
        return;
    }
    // A file whose name has no CP932 form could neither be named in the send list nor opened
    // by copies on Windows: it is left out, and the user hears which.
    QList<QByteArray> items;
    QStringList refused;
    for (const QString& path : m_context.dropFiles) {
        const Cp932::Encoded encoded = Cp932::fromUnicode(path);
        if (encoded.ok)
            items.append(encoded.bytes);
        else
            refused.append(path);
    }
    if (!refused.isEmpty())
        m_context.boxes.show(QStringLiteral("次のファイルは名前に使えない文字を含むため、送りません。\r\n\r\n") +
                                 refused.join(QStringLiteral("\r\n")),
                             Mb::Ok | Mb::IconWarning);

    hide();
    m_context.status.setStatusText(QStringLiteral("送信キューにリストを追加しています。しばらくお待ち下さい。"));
    QCoreApplication::processEvents();

    QString memoText = typed;
    memoText.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QByteArray memo = Cp932::fromUnicode(memoText).bytes;
    const QByteArray label = ParcelPost::BatchLabel(m_context.own.Name, m_context.clock.now());
    QList<QByteArray> recipients;
    for (int i = 1; i < m_selection.size(); ++i)
        recipients.append(m_selection.at(i).FileName);
    const QList<QByteArray> lines = ParcelPost::BuildSendList(label, recipients, items, memo);
    if (m_context.send)
        m_context.send(lines);
    pnlInfoClose();
}

void TfrmInfo::pnlInfoClose()
{
    if (m_closing)
        return;
    m_closing = true;
    if (m_context.clearDropFiles)
        m_context.clearDropFiles();
    done(QDialog::Rejected);
}

void TfrmInfo::done(int result)
{
    m_pnlReturnDate->hide();
    if (!m_closing) {
        m_closing = true;
        if (m_context.clearDropFiles)
            m_context.clearDropFiles();
    }
    QDialog::done(result);
}

void TfrmInfo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    QWidget* focused = focusWidget();
    // Esc belongs to the text while the user writes several lines.
    if (qobject_cast<QPlainTextEdit*>(focused) || qobject_cast<QTextEdit*>(focused))
        return;
    m_pnlReturnDate->hide();
    if (m_mode == Mode::HuzaiSet)
        HuzaiResetClick();
    else
        pnlInfoClose();
}

bool TfrmInfo::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (watched == m_edtMonth) {
            edtMonthClick();
            return true;
        }
        if (m_pnlReturnDate->isVisible() && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget != m_pnlReturnDate && !m_pnlReturnDate->isAncestorOf(widget) && widget->window() == this)
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
    return QDialog::eventFilter(watched, event);
}
