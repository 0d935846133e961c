// The detail window's controls: the mode buttons, the member header with the banner for
// several members, and the four panels with the return-date pop-up.

#include "forms/DialogFont.h"
#include "forms/HelpContext.h"
#include "forms/ShadowLabel.h"
#include "forms/StatusMarkDelegate.h"
#include "forms/TVurnaCalendar.h"
#include "forms/TfrmInfo.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLineEdit* readOnlyField(QWidget* parent, const char* name)
{
    auto* field = named(new QLineEdit(parent), name);
    field->setReadOnly(true);
    return field;
}

// The detail panel's fields: white on black.
void darkField(QWidget* field)
{
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    field->setPalette(palette);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& hint)
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

} // namespace

void TfrmInfo::BuildWindow()
{
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral("操作"));
    setFont(DialogFont());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);

    auto* pnlControl = named(new QFrame(this), "pnlControl");
    auto* controlRow = new QHBoxLayout(pnlControl);
    controlRow->setContentsMargins(0, 0, 0, 0);
    m_modeButtons = new QButtonGroup(this);
    const auto modeButton = [&](const char* name, const QString& caption, const QString& hint, Mode mode) {
        auto* b = named(new QToolButton(pnlControl), name);
        b->setText(caption);
        b->setToolTip(hint);
        b->setCheckable(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setMinimumHeight(26);
        m_modeButtons->addButton(b, int(mode));
        controlRow->addWidget(b);
        return b;
    };
    m_sbtnInfo = modeButton("sbtnInfo", QStringLiteral("詳細表示"),
                            QStringLiteral("個人情報の詳細表示パネルに切り替えます。"), Mode::Details);
    m_sbtnHuzai = modeButton("sbtnHuzai", QStringLiteral("不在設定"), QStringLiteral("不在設定パネルに切り替えます。"),
                             Mode::HuzaiSet);
    m_sbtnRead = modeButton("sbtnRead", QStringLiteral("伝言確認"),
                            QStringLiteral("伝言板の確認パネルに切り替えます。"), Mode::DengonRead);
    m_sbtnSend = modeButton("sbtnSend", QStringLiteral("伝言作成"), QStringLiteral("伝言の送信パネルに切り替えます。"),
                            Mode::DengonSend);
    m_sbtnTrans = modeButton("sbtnTrans", QStringLiteral("Vurna便作成"),
                             QStringLiteral("Vurna便の送信パネルに切り替えます。"), Mode::SendFiles);
    m_sbtnTrans->hide();
    // F1 on a mode button explains the panel it opens; elsewhere each panel its own.
    SetHelpContext(this, HelpTopic::Details);
    SetHelpContext(m_sbtnInfo, HelpTopic::Details);
    SetHelpContext(m_sbtnHuzai, HelpTopic::Absence);
    SetHelpContext(m_sbtnRead, HelpTopic::MemoCheck);
    SetHelpContext(m_sbtnSend, HelpTopic::Send);
    SetHelpContext(m_sbtnTrans, HelpTopic::Send);
    m_modeButtons->setExclusive(true);
    connect(m_modeButtons, &QButtonGroup::idClicked, this, [this](int id) { SwitchMode(Mode(id)); });
    layout->addWidget(pnlControl);

    layout->addWidget(BuildHeader());
    m_pnlInfo = BuildInfoPanel();
    m_pnlRead = BuildReadPanel();
    m_pnlSend = BuildSendPanel();
    m_pnlHuzai = BuildHuzaiPanel();
    for (QWidget* panel : {m_pnlInfo, m_pnlRead, m_pnlSend, m_pnlHuzai}) {
        layout->addWidget(panel, 1);
        panel->hide();
    }
    BuildReturnDatePopup();
    SetHelpContext(m_pnlInfo, HelpTopic::Details);
    SetHelpContext(m_pnlRead, HelpTopic::MemoCheck);
    SetHelpContext(m_pnlSend, HelpTopic::Send);
    SetHelpContext(m_pnlHuzai, HelpTopic::Absence);
    // The calendar pop-up lies on the window, not on the absence panel it belongs to.
    SetHelpContext(m_pnlReturnDate, HelpTopic::Absence);
    ConnectHuzaiPanel();
}

QWidget* TfrmInfo::BuildHeader()
{
    auto* header = named(new QFrame(this), "pnlSingleUser");
    header->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(header);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(2);
    grid->addWidget(new ShadowLabel(QStringLiteral("フ リ ガ ナ"), header), 0, 0);
    m_edtFurigana = readOnlyField(header, "edtFurigana");
    grid->addWidget(m_edtFurigana, 0, 1);
    grid->addWidget(new ShadowLabel(QStringLiteral("名　　前"), header), 1, 0);
    m_cmbName = named(new QComboBox(header), "cmbName");
    grid->addWidget(m_cmbName, 1, 1);
    grid->addWidget(new ShadowLabel(QStringLiteral("IP Address"), header), 2, 0);
    m_edtIPAddress = readOnlyField(header, "edtIPAddress");
    m_edtIPAddress->setText(QStringLiteral("000.000.000.000"));
    grid->addWidget(m_edtIPAddress, 2, 1);
    grid->setColumnStretch(1, 1);
    connect(m_cmbName, &QComboBox::activated, this, &TfrmInfo::cmbNameChange);

    // The banner for several members lies over the name area.
    m_pnlMultiUsers = named(new QFrame(header), "pnlMultiUsers");
    m_pnlMultiUsers->setAutoFillBackground(true);
    auto* banner = new QGridLayout(m_pnlMultiUsers);
    banner->setContentsMargins(0, 0, 0, 0);
    m_edtFuriganaFrom = readOnlyField(m_pnlMultiUsers, "edtFuriganaFrom");
    m_edtNameFrom = readOnlyField(m_pnlMultiUsers, "edtNameFrom");
    m_edtFuriganaTo = readOnlyField(m_pnlMultiUsers, "edtFuriganaTo");
    m_edtNameTo = readOnlyField(m_pnlMultiUsers, "edtNameTo");
    auto* wave = new QLabel(QStringLiteral("～"), m_pnlMultiUsers);
    QFont large = wave->font();
    large.setPixelSize(24);
    wave->setFont(large);
    banner->addWidget(m_edtFuriganaFrom, 0, 0);
    banner->addWidget(m_edtNameFrom, 1, 0);
    banner->addWidget(wave, 0, 1, 2, 1, Qt::AlignCenter);
    banner->addWidget(m_edtFuriganaTo, 0, 2);
    banner->addWidget(m_edtNameTo, 1, 2);
    grid->addWidget(m_pnlMultiUsers, 0, 1, 2, 1);
    m_pnlMultiUsers->hide();
    return header;
}

QWidget* TfrmInfo::BuildInfoPanel()
{
    auto* panel = named(new QFrame(this), "pnlInfo");
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 4, 0, 0);
    const auto row = [&](int r, const QString& caption, QWidget* field) {
        grid->addWidget(new ShadowLabel(caption, panel), r, 0, Qt::AlignTop);
        grid->addWidget(field, r, 1);
        darkField(field);
    };
    m_edtGroup = readOnlyField(panel, "edtGroup");
    m_edtWarningCall = readOnlyField(panel, "edtWarningCall");
    m_edtInnerLine = readOnlyField(panel, "edtInnerLine");
    m_edtReturn = readOnlyField(panel, "edtReturn");
    m_memLocate = named(new QPlainTextEdit(panel), "memLocate");
    m_memLocate->setReadOnly(true);
    m_edtLastUpdate = readOnlyField(panel, "edtLastUpdate");
    row(0, QStringLiteral("グループ"), m_edtGroup);
    row(1, QStringLiteral("連 絡 先"), m_edtWarningCall);
    row(2, QStringLiteral("備　　考"), m_edtInnerLine);
    row(3, QStringLiteral("戻り日時"), m_edtReturn);
    row(4, QStringLiteral("不在理由"), m_memLocate);
    row(5, QStringLiteral("設定日時"), m_edtLastUpdate);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
    m_btnInfoCancel = button(panel, "btnInfoCancel", QStringLiteral("戻る"), QStringLiteral("掲示板に戻ります。"));
    grid->addLayout(buttonRow({m_btnInfoCancel}), 6, 0, 1, 2);
    connect(m_btnInfoCancel, &QPushButton::clicked, this, &TfrmInfo::pnlInfoClose);
    return panel;
}

QWidget* TfrmInfo::BuildReadPanel()
{
    auto* panel = named(new QFrame(this), "pnlRead");
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 4, 0, 0);
    m_lblRead = named(
        new ShadowLabel(QStringLiteral("※下記の内容には、まだ読まれていない伝言が含まれています。"), panel), "lblRead");
    layout->addWidget(m_lblRead);
    m_memReadRich = named(new TQuaxoRichEdit(panel), "memReadRich");
    m_memReadRich->setReadOnly(true);
    layout->addWidget(m_memReadRich, 1);
    m_btnReadCancel = button(panel, "btnReadCancel", QStringLiteral("戻る"), QStringLiteral("掲示板に戻ります。"));
    layout->addLayout(buttonRow({m_btnReadCancel}));
    connect(m_btnReadCancel, &QPushButton::clicked, this, &TfrmInfo::pnlInfoClose);
    return panel;
}

QWidget* TfrmInfo::BuildSendPanel()
{
    auto* panel = named(new QFrame(this), "pnlSend");
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(new ShadowLabel(QStringLiteral("メッセージを入力して「送信」ボタンを押して下さい。"), panel));
    m_memSend = named(new QPlainTextEdit(panel), "memSend");
    m_memSend->setAttribute(Qt::WA_InputMethodEnabled, true);
    layout->addWidget(m_memSend, 1);
    m_btnSendOK =
        button(panel, "btnSendOK", QStringLiteral("送信"), QStringLiteral("伝言を送信して、掲示板に戻ります。"));
    m_btnSendCancel =
        button(panel, "btnSendCancel", QStringLiteral("戻る"), QStringLiteral("何も送信せずに、掲示板に戻ります。"));
    layout->addLayout(buttonRow({m_btnSendOK, m_btnSendCancel}));
    connect(m_btnSendOK, &QPushButton::clicked, this, &TfrmInfo::btnSendClick);
    connect(m_btnSendCancel, &QPushButton::clicked, this, &TfrmInfo::pnlInfoClose);
    return panel;
}

QWidget* TfrmInfo::BuildHuzaiPanel()
{
    auto* panel = named(new QFrame(this), "pnlHuzai");
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 4, 0, 0);
    // The return date and the mark side by side, so the reason and its history keep the height.
    auto* top = new QHBoxLayout;
    layout->addLayout(top);

    auto* returnGroup = new QGroupBox(QStringLiteral(" 戻り予定日時 "), panel);
    auto* returnGrid = new QGridLayout(returnGroup);
    m_rbtnDateTime = named(new QRadioButton(QStringLiteral("　"), returnGroup), "rbtnDateTime");
    m_edtMonth = readOnlyField(returnGroup, "edtMonth");
    m_edtMonth->setToolTip(QStringLiteral("戻り日付を設定します。"));
    m_edtMonth->setCursor(Qt::PointingHandCursor);
    m_edtMonth->installEventFilter(this);
    m_cmbReturnTime = named(new QComboBox(returnGroup), "cmbReturnTime");
    m_cmbReturnTime->setEditable(true);
    m_cmbReturnTime->setInsertPolicy(QComboBox::NoInsert);
    m_cmbReturnTime->lineEdit()->setMaxLength(5);
    m_cmbReturnTime->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_cmbReturnTime->lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_cmbReturnTime->lineEdit()->installEventFilter(this);
    m_cmbReturnTime->setToolTip(QStringLiteral("戻り時間を設定します。省略可能です。"));
    m_rbtnNoReturnDate =
        named(new QRadioButton(QStringLiteral("戻り日付不明、または無期限"), returnGroup), "rbtnNoReturnDate");
    m_rbtnNoReturnDate->setToolTip(QStringLiteral("戻り時間がわからない時に選択します。"));
    returnGrid->addWidget(m_rbtnDateTime, 0, 0);
    returnGrid->addWidget(m_edtMonth, 0, 1);
    returnGrid->addWidget(m_cmbReturnTime, 0, 2);
    returnGrid->addWidget(m_rbtnNoReturnDate, 1, 0, 1, 3);
    returnGrid->setColumnStretch(1, 2);
    returnGrid->setColumnStretch(2, 1);
    top->addWidget(returnGroup, 3);

    auto* statusGroup = new QGroupBox(QStringLiteral(" 状態マーク "), panel);
    auto* statusRow = new QHBoxLayout(statusGroup);
    m_cmbStatus = named(new QComboBox(statusGroup), "cmbStatus");
    m_cmbStatus->setToolTip(QStringLiteral("不在状態で表示される状態マークを選びます。"));
    m_cmbStatus->setItemDelegate(new StatusMarkDelegate(m_context.statusPictures, m_cmbStatus));
    m_cmbStatus->setMinimumHeight(StatusMarkDelegate::ItemHeight + 6);
    m_cmbStatus->setIconSize(QSize(31, StatusMarkDelegate::ItemHeight));
    statusRow->addWidget(m_cmbStatus);
    top->addWidget(statusGroup, 2, Qt::AlignTop);

    auto* reasonGroup = new QGroupBox(QStringLiteral(" 不在理由・出張先 "), panel);
    auto* reasonGrid = new QGridLayout(reasonGroup);
    m_memHuzai = named(new QPlainTextEdit(reasonGroup), "memHuzai");
    m_memHuzai->setToolTip(QStringLiteral("不在理由を書き込みます。"));
    m_memHuzai->setAttribute(Qt::WA_InputMethodEnabled, true);
    m_lstHistory = named(new QListWidget(reasonGroup), "lstHistory");
    m_lstHistory->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_btnCopyFromHistory = button(reasonGroup, "btnCopyFromHistory", QStringLiteral("追加"),
                                  QStringLiteral("履歴を左のテキストエリアに追加します。"));
    m_btnDeleteHistory =
        button(reasonGroup, "btnDeleteHistory", QStringLiteral("削除"), QStringLiteral("選択した履歴を削除します。"));
    m_btnCopyFromHistory->setEnabled(false);
    m_btnDeleteHistory->setEnabled(false);
    reasonGrid->addWidget(m_memHuzai, 0, 0, 3, 1);
    reasonGrid->addWidget(new QLabel(QStringLiteral("履歴"), reasonGroup), 0, 1);
    reasonGrid->addWidget(m_lstHistory, 1, 1);
    auto* historyButtons = new QHBoxLayout;
    historyButtons->addWidget(m_btnCopyFromHistory);
    historyButtons->addWidget(m_btnDeleteHistory);
    reasonGrid->addLayout(historyButtons, 2, 1);
    reasonGrid->setColumnStretch(0, 3);
    reasonGrid->setColumnStretch(1, 2);
    layout->addWidget(reasonGroup, 1);

    m_btnHuzaiSet =
        button(panel, "btnHuzaiSet", QStringLiteral("設定"), QStringLiteral("設定内容を確定し、掲示板に戻ります。"));
    m_btnHuzaiReset =
        button(panel, "btnHuzaiReset", QStringLiteral("解除"), QStringLiteral("不在状態を解除し、掲示板に戻ります。"));
    m_btnHuzaiCancel = button(panel, "btnHuzaiCancel", QStringLiteral("戻る"),
                              QStringLiteral("何も修正を加えずに、掲示板に戻ります。"));
    layout->addLayout(buttonRow({m_btnHuzaiSet, m_btnHuzaiReset, m_btnHuzaiCancel}));
    return panel;
}

void TfrmInfo::BuildReturnDatePopup()
{
    m_pnlReturnDate = named(new QFrame(this), "pnlReturnDate");
    m_pnlReturnDate->setFrameShape(QFrame::Box);
    m_pnlReturnDate->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(m_pnlReturnDate);
    layout->setContentsMargins(4, 4, 4, 4);
    m_calMonth = named(new TVurnaCalendar(m_context.clock, m_pnlReturnDate), "calMonth");
    m_calMonth->setToolTip(QStringLiteral("戻り日付を選択してください。"));
    m_calMonth->SetStartOfWeek(0);
    m_calMonth->setMinimumSize(224, 140);
    layout->addWidget(m_calMonth, 1);
    auto* moves = new QHBoxLayout;
    m_btnPrevMonth =
        button(m_pnlReturnDate, "btnPrevMonth", QStringLiteral("先月"), QStringLiteral("先月に移動します。"));
    m_btnToday = button(m_pnlReturnDate, "btnToday", QStringLiteral("今日"), QStringLiteral("今日に移動します。"));
    m_btnNextMonth =
        button(m_pnlReturnDate, "btnNextMonth", QStringLiteral("来月"), QStringLiteral("来月に移動します。"));
    moves->addWidget(m_btnPrevMonth);
    moves->addWidget(m_btnToday);
    moves->addWidget(m_btnNextMonth);
    layout->addLayout(moves);
    m_memWhatDay = named(new QPlainTextEdit(m_pnlReturnDate), "memWhatDay");
    m_memWhatDay->setReadOnly(true);
    m_memWhatDay->setToolTip(QStringLiteral("祭日等が表示されます。"));
    m_memWhatDay->setFixedHeight(30);
    QPalette palette = m_memWhatDay->palette();
    palette.setColor(QPalette::Base, QColor(0, 0, 128));
    palette.setColor(QPalette::Text, QColor(0, 255, 255));
    m_memWhatDay->setPalette(palette);
    layout->addWidget(m_memWhatDay);
    m_pnlReturnDate->resize(240, 226);
    m_pnlReturnDate->hide();
}
