// The board window's controls and where they sit: designed at 96 dpi for a client area of
// 632 x 414 and scaled above it.

#include "app/Anchors.h"
#include "app/FilterList.h"
#include "app/HighlightButtons.h"
#include "app/MainFonts.h"
#include "app/Pictures.h"
#include "app/StatusBarSink.h"
#include "app/TfrmMain.h"
#include "board/ui/TVurnaGrid.h"
#include "forms/HelpContext.h"
#include "store/StatusReport.h"
#include "store/ui/MemoBoardView.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

// The client area under the menu bar, less the status bar.
constexpr QSize CentralDesign(632, 394);
// A page of pgcMain: the page control less its tab row and frame.
constexpr QSize PageDesign(609, 354);
constexpr int StatusBarHeight = 20;

// Column titles over the status picture, the name and the destination and return areas.
const QString HeaderText = QStringLiteral("状態　　　　名前　　　　　　行先/戻り");

QLabel* headerLabel(QWidget* parent, double scale)
{
    auto* label = new QLabel(HeaderText, parent);
    label->setFont(MainFonts::Fixed(13, true, scale));
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QToolButton* ownerButton(QWidget* parent, const QString& name, const QString& caption, const QString& picture,
                         const QString& hint, double scale)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(hint);
    button->setIcon(Pictures::Icon(picture));
    button->setIconSize(QSize(int(32 * scale), int(32 * scale)));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFont(MainFonts::Proportional(12, true, scale));
    return button;
}

} // namespace

void TfrmMain::BuildWindow()
{
    const double scale = m_placement.Dpi() / 96.0;
    setFont(MainFonts::Proportional(12, false, scale));

    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* anchors = new Anchors(*central, CentralDesign, scale);

    m_pgcMain = new QTabWidget(central);
    m_pgcMain->setObjectName(QStringLiteral("pgcMain"));
    m_pgcMain->setFont(MainFonts::Proportional(13, true, scale));
    m_pgcMain->tabBar()->setMouseTracking(true);
    m_tabKeiziban = new QWidget;
    m_tabKeiziban->setObjectName(QStringLiteral("tabKeiziban"));
    m_tabKeiziban->setFont(font());
    m_tabDengon = new QWidget;
    m_tabDengon->setObjectName(QStringLiteral("tabDengon"));
    m_tabDengon->setFont(font());
    m_pgcMain->addTab(m_tabKeiziban, QStringLiteral("  行き先掲示板  "));
    m_pgcMain->addTab(m_tabDengon, QStringLiteral("　伝言板　"));
    // The board is the window's topic: the tabs, the status bar and the filters explain there.
    SetHelpContext(this, HelpTopic::Board);
    SetHelpContext(m_tabKeiziban, HelpTopic::Board);
    SetHelpContext(m_tabDengon, HelpTopic::MemoBoard);
    // Ends 4 pixels above the status bar.
    anchors->Place(m_pgcMain, QRect(8, 8, 617, CentralDesign.height() - 8 - 4),
                   Anchors::Left | Anchors::Top | Anchors::Bottom);
    connect(m_pgcMain, &QTabWidget::currentChanged, this, [this] { pgcMainChange(); });

    BuildBoardPage(*m_tabKeiziban);
    BuildMemoPage(*m_tabDengon);
    BuildFilterPanel(*central);
    BuildStatusBar();
    resize(ScaleFrom96(640, m_placement.Dpi()), ScaleFrom96(460, m_placement.Dpi()));
}

void TfrmMain::BuildBoardPage(QWidget& page)
{
    const double scale = m_placement.Dpi() / 96.0;
    auto* anchors = new Anchors(page, PageDesign, scale);

    auto* left = headerLabel(&page, scale);
    left->setObjectName(QStringLiteral("lblHeaderLeft"));
    anchors->Place(left, QRect(8, 8, 281, 17));
    auto* right = headerLabel(&page, scale);
    right->setObjectName(QStringLiteral("lblHeaderRight"));
    anchors->Place(right, QRect(288, 8, 297, 17));

    m_keiziban = new TVurnaGrid(m_state.BoardModel, m_clock, &page);
    m_keiziban->setObjectName(QStringLiteral("Keiziban"));
    m_keiziban->setToolTip(QStringLiteral("ダブルクリックすると最新情報をロードして詳細表示します。"));
    anchors->Place(m_keiziban, QRect(8, 24, 564, 257), Anchors::All);
    if (QScrollBar* bar = m_keiziban->ScrollBar()) {
        bar->setObjectName(QStringLiteral("vbarKeiziban"));
        // At the grid's right edge: left = grid left + grid width - 1, 33 wide.
        anchors->Place(bar, QRect(8 + 564 - 1, 24, 33, 257), Anchors::Top | Anchors::Bottom | Anchors::Right);
    }

    m_panel1 = new THighlightPanel(&page);
    anchors->Place(m_panel1, QRect(8, 291, 425, 57), Anchors::Left | Anchors::Bottom);
    connect(m_panel1, &THighlightPanel::HighlightChosen, this,
            [this](const QByteArray& characters) { m_keiziban->SetScrDBEnabled(characters); });

    m_btnOwnerSet = ownerButton(
        &page, QStringLiteral("btnOwnerSet"), QStringLiteral("不在設定"), QStringLiteral(":/menu/owner_set.png"),
        QStringLiteral("使用者の不在設定を行います。戻り日付が本日に設定された状態で不在設定が開きます。"), scale);
    anchors->Place(m_btnOwnerSet, QRect(440, 291, 81, 57), Anchors::Left | Anchors::Bottom);
    m_btnOwnerReset =
        ownerButton(&page, QStringLiteral("btnOwnerReset"), QStringLiteral("不在解除"),
                    QStringLiteral(":/menu/owner_reset.png"), QStringLiteral("使用者の不在状態を解除します。"), scale);
    anchors->Place(m_btnOwnerReset, QRect(520, 291, 81, 57), Anchors::Left | Anchors::Bottom);
}

void TfrmMain::BuildMemoPage(QWidget& page)
{
    const double scale = m_placement.Dpi() / 96.0;
    auto* anchors = new Anchors(page, PageDesign, scale);

    m_rchDengonOwner = new TQuaxoRichEdit(&page);
    m_rchDengonOwner->setObjectName(QStringLiteral("rchDengonOwner"));
    m_rchDengonOwner->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_rchDengonOwner->setTabChangesFocus(false);
    anchors->Place(m_rchDengonOwner, QRect(8, 16, 593, 305), Anchors::All);

    m_btnDengonErase = new QPushButton(QStringLiteral("伝言を消す"), &page);
    m_btnDengonErase->setObjectName(QStringLiteral("btnDengonErase"));
    anchors->Place(m_btnDengonErase, QRect(8, 322, 129, 25), Anchors::Left | Anchors::Bottom);
    connect(m_btnDengonErase, &QPushButton::clicked, this, [this] {
        if (HasOwnEntry(m_state.Own))
            MemoBoardView::EraseOwnBoard(*m_rchDengonOwner, m_state.Own.FileName, m_boxes);
    });
    // Edits reach the file as soon as the user turns to something else, not only at a clean
    // exit that a crash or a power cut would never reach.
    connect(m_rchDengonOwner, &TQuaxoRichEdit::focusLeft, this, [this] {
        if (HasOwnEntry(m_state.Own))
            MemoBoardView::SaveOwnBoard(*m_rchDengonOwner, m_state.Own.FileName);
    });
    connect(m_rchDengonOwner, &TQuaxoRichEdit::charactersRefused, this, [this](const QString& characters) {
        const QString message = QStringLiteral("「%1」は使用できない文字の為、入力できません。").arg(characters);
        ReportStatus(*m_status, message, Severity::Warning);
    });

    // A navy caption over a grey copy one pixel down and right: a shadow.
    const QString caption = QStringLiteral("あなたの伝言板です。修正可能です。");
    const QString hint = QStringLiteral("他人の伝言板を見るときは、「行き先掲示板」で右クリックして下さい。");
    const QRect place(601 - 290, 326, 290, 22);
    for (int shadow = 1; shadow >= 0; --shadow) {
        auto* label = new QLabel(caption, &page);
        label->setObjectName(shadow ? QStringLiteral("Label4") : QStringLiteral("Label2"));
        label->setFont(MainFonts::Proportional(16, true, scale));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setToolTip(hint);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, shadow ? QColor(128, 128, 128) : QColor(0, 0, 128));
        label->setPalette(palette);
        anchors->Place(label, place.translated(shadow, shadow), Anchors::Right | Anchors::Bottom);
    }
}

void TfrmMain::BuildFilterPanel(QWidget& central)
{
    const double scale = m_placement.Dpi() / 96.0;
    m_pnlFilters = new QWidget(&central);
    m_pnlFilters->setObjectName(QStringLiteral("pnlFilters"));
    m_pnlFilters->setGeometry(QRect(int(400 * scale), 0, int(225 * scale), int(28 * scale)));

    // Each button carries its on/off box at its left; the leading blanks of the caption make
    // room for it.
    const struct
    {
        const char* button;
        const char* box;
        QString caption;
        QString hint;
        QString boxHint;
        int left;
    } filters[] = {
        {"btnGroupFilter", "chkGroupFilter", QStringLiteral("    グループ "),
         QStringLiteral("選択されたグループメンバだけを表示します。"),
         QStringLiteral("グループフィルタのＯＮ／ＯＦＦを選択します。"), 0},
        {"btnStatusFilter", "chkStatusFilter", QStringLiteral("    状　態 "),
         QStringLiteral("選択された状態マークのメンバだけを表示します。"),
         QStringLiteral("状態フィルタのＯＮ／ＯＦＦを選択します。"), 113},
    };
    for (const auto& f : filters) {
        auto* button = new QPushButton(f.caption, m_pnlFilters);
        button->setObjectName(QLatin1String(f.button));
        button->setToolTip(f.hint);
        button->setGeometry(QRect(int(f.left * scale), int(2 * scale), int(110 * scale), int(25 * scale)));
        auto* box = new QCheckBox(button);
        box->setObjectName(QLatin1String(f.box));
        box->setToolTip(f.boxHint);
        box->setGeometry(QRect(int(6 * scale), int(5 * scale), int(16 * scale), int(16 * scale)));
        (f.left == 0 ? m_chkGroupFilter : m_chkStatusFilter) = box;
        (f.left == 0 ? m_btnGroupFilter : m_btnStatusFilter) = button;
    }
    // The lists drop down from the buttons over the grid, the status list a little to the right.
    m_cmbGroupFilter = new FilterList(int(22 * scale), int(15 * scale), &central);
    m_cmbGroupFilter->setObjectName(QStringLiteral("cmbGroupFilter"));
    m_cmbGroupFilter->setToolTip(QStringLiteral("チェックしたグループのメンバだけを表示します。"));
    m_cmbGroupFilter->setGeometry(QRect(int(400 * scale), int(27 * scale), int(220 * scale), int(22 * scale)));
    m_cmbStatusFilter = new FilterList(int(32 * scale), int(32 * scale), &central);
    m_cmbStatusFilter->setObjectName(QStringLiteral("cmbStatusFilter"));
    m_cmbStatusFilter->setToolTip(QStringLiteral("チェックした状態マークのメンバだけを表示します。"));
    m_cmbStatusFilter->setGeometry(QRect(int(416 * scale), int(27 * scale), int(209 * scale), int(32 * scale)));
    m_pnlFilters->raise();
}

void TfrmMain::BuildStatusBar()
{
    const double scale = m_placement.Dpi() / 96.0;
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("stsMain"));
    bar->setFixedHeight(int(StatusBarHeight * scale));
    bar->setFont(MainFonts::Proportional(12, false, scale));
    bar->setAutoFillBackground(true);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, QColor(64, 64, 64));
    palette.setColor(QPalette::WindowText, Qt::white);
    bar->setPalette(palette);
    setStatusBar(bar);

    // Panel 0: 150 wide, holding the progress bar (left 1, top 2, the panel's height less 3,
    // its width less 2).
    auto* panel0 = new QWidget(bar);
    panel0->setFixedSize(int(150 * scale), int(StatusBarHeight * scale));
    m_progress = new QProgressBar(panel0);
    m_progress->setObjectName(QStringLiteral("prgMain"));
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_progress->reset();
    m_progress->setGeometry(1, 2, panel0->width() - 2, panel0->height() - 3);
    bar->addWidget(panel0);

    // Panel 1: at least 50 wide and the rest of the bar.
    m_statusText = new QLabel(bar);
    m_statusText->setObjectName(QStringLiteral("stsMainText"));
    // Reports quote names and paths from the share: shown as written, never as markup.
    m_statusText->setTextFormat(Qt::PlainText);
    m_statusText->setMinimumWidth(int(50 * scale));
    m_statusText->setPalette(palette);
    bar->addWidget(m_statusText, 1);

    m_status = std::make_unique<StatusBarSink>(*m_statusText, *m_progress);
}
