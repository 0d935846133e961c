#include "forms/TfrmInfo.h"

#include "board/BoardModel.h"
#include "board/UserLoader.h"
#include "forms/InfoDetailsPanel.h"
#include "forms/InfoHeader.h"
#include "forms/InfoHuzaiPanel.h"
#include "forms/InfoReadPanel.h"
#include "forms/InfoSendPanel.h"
#include "forms/InfoTexts.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/LogCategories.h"
#include "platform/MessageBoxes.h"
#include "store/ParcelPost.h"
#include "store/StatusReport.h"
#include "store/StatusSink.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolButton>

TfrmInfo::TfrmInfo(InfoContext context, QWidget* parent) : QDialog(parent), m_context(std::move(context))
{
    BuildWindow();
    connect(m_header, &InfoHeader::MemberChosen, this, &TfrmInfo::cmbNameChange);
    connect(m_pnlSend, &InfoSendPanel::SendRequested, this, &TfrmInfo::btnSendClick);
    connect(m_pnlInfo, &InfoDetailsPanel::CloseRequested, this, &TfrmInfo::pnlInfoClose);
    connect(m_pnlRead, &InfoReadPanel::CloseRequested, this, &TfrmInfo::pnlInfoClose);
    connect(m_pnlSend, &InfoSendPanel::CloseRequested, this, &TfrmInfo::pnlInfoClose);
    connect(m_pnlHuzai, &InfoHuzaiPanel::CloseRequested, this, &TfrmInfo::pnlInfoClose);
}

TfrmInfo::~TfrmInfo() = default;

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
        if (parentWidget())
            setWindowIcon(parentWidget()->windowIcon());

        m_pnlHuzai->Prepare(presetToday);
        m_header->SetNames(m_selection);
        cmbNameChange(0);

        const TVurnaDataRec& first = m_selection.at(1);
        const TVurnaDataRec& last = m_selection.last();
        m_header->SetRange(first, last);
        setWindowTitle(
            InfoTexts::SelectionCaption(Cp932::toUnicode(first.Name), Cp932::toUnicode(last.Name), SelectedCount()));

        m_pnlSend->SetText(InfoTexts::MemoHeader(Cp932::toUnicode(m_context.own.Name), mode == Mode::SendFiles,
                                                 m_context.clock.now()));
        if (mode == Mode::SendFiles) {
            m_sbtnSend->hide();
            m_sbtnTrans->show();
        }
        ApplyGeometry();
        SwitchMode(mode);
        return true;
    } catch (const std::exception& e) {
        qCWarning(lcBoard) << "detail window not filled:" << e.what();
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
    m_header->ShowBanner(false);
    for (QWidget* panel : std::initializer_list<QWidget*>{m_pnlInfo, m_pnlRead, m_pnlSend, m_pnlHuzai})
        panel->hide();
    m_pnlHuzai->HideReturnDate();
    const bool several = SelectedCount() > 1;
    bool banner = false;
    switch (mode) {
    case Mode::Details:
        m_pnlInfo->show();
        m_pnlInfo->TakeFocus();
        break;
    case Mode::DengonRead:
        m_pnlRead->show();
        m_pnlRead->TakeFocus();
        break;
    case Mode::DengonSend:
    case Mode::SendFiles:
        m_pnlSend->show();
        m_pnlSend->TakeFocus();
        banner = several;
        break;
    case Mode::HuzaiSet:
        m_pnlHuzai->show();
        m_pnlHuzai->TakeFocus();
        banner = several;
        break;
    }
    m_header->ShowBanner(banner);
}

void TfrmInfo::cmbNameChange(int index)
{
    const int at = index + 1;
    if (at < 1 || at >= m_selection.size())
        return;
    m_shownAt = at;
    TVurnaDataRec& member = m_selection[at];
    // Shown at once as the board has the member; the member's file follows from the queue.
    TVurnaDataRec onBoard;
    if (m_context.board.FindMember(member.FileName, onBoard) >= 1 && onBoard.FileName == member.FileName)
        member = onBoard;
    m_header->ShowMember(member);
    m_pnlInfo->ShowMember(member, m_context.clock.now().date());
    m_pnlRead->ShowMember(member);
    m_pnlHuzai->ShowMember(member);

    const QByteArray path = member.FileName;
    const quint64 mark = m_context.board.ChangeMark();
    m_context.Run<MemberFiles>(
        "info member", [path] { return ReadMemberFiles(path); }, this,
        [this, at, path, mark](const MemberFiles& files) { TakeMemberRead(at, path, mark, files); });
}

void TfrmInfo::TakeMemberRead(int at, const QByteArray& path, quint64 mark, const MemberFiles& files)
{
    // The window may show someone whose file changed since the board last read it.
    m_context.board.TakeMemberFiles(path, mark, files);
    if (at >= m_selection.size() || m_selection.at(at).FileName != path)
        return;
    TVurnaDataArray read{TVurnaDataRec{}, m_selection.at(at)};
    if (files.present && PlaceMemberFiles(read, path, files, false) == 1)
        m_selection[at] = read.at(1);
    if (m_shownAt != at)
        return;
    m_header->ShowMember(m_selection.at(at));
    m_pnlInfo->ShowMember(m_selection.at(at), m_context.clock.now().date());
    m_pnlHuzai->MemberReadAfresh(m_selection.at(at));
}

void TfrmInfo::btnSendClick()
{
    if (SelectedCount() >= 2 &&
        m_context.boxes.show(
            QStringLiteral("複数の人に対して送信を行おうとしています。\r\n\r\n本当に送信してもよろしいですか？"),
            Mb::OkCancel | Mb::IconWarning) != Mb::IdOk)
        return;
    const QString typed = m_pnlSend->Text();
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
    m_pnlHuzai->HideReturnDate();
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
    m_pnlHuzai->HideReturnDate();
    if (m_mode == Mode::HuzaiSet)
        m_pnlHuzai->HuzaiResetClick();
    else
        pnlInfoClose();
}
