// The board window's controls and where they sit: designed at 96 dpi for a client area of
// 632 x 414 and scaled above it.

#include "app/Anchors.h"
#include "app/HighlightButtons.h"
#include "app/MainFonts.h"
#include "app/Pictures.h"
#include "app/StatusBarSink.h"
#include "app/TfrmMain.h"
#include "app/filters/FilterList.h"
#include "app/filters/FilterPanel.h"
#include "app/memo/MemoPage.h"
#include "board/ui/TVurnaGrid.h"
#include "forms/HelpContext.h"
#include "session/BoardSession.h"

#include <QLabel>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

// The client area under the menu bar, less the status bar.
constexpr QSize CentralDesign(632, 394);
// A page of pgcMain: the page control less its tab row and frame.
constexpr QSize PageDesign(609, 354);

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
    m_pgcMain->addTab(m_tabKeiziban, QStringLiteral("  行き先掲示板  "));
    BuildBoardPage(*m_tabKeiziban, scale);
    // The status bar takes the memo page's reports; it joins the window's layout below.
    m_status = new StatusBarSink(scale, this);
    m_memoPage = new MemoPage(
        m_session.State().Own, m_session.Queue(),
        [this](const QByteArray& text, const QByteArray& basedOn, bool erase) {
            m_session.SaveOwnMemoBoard(text, basedOn, erase);
        },
        m_session.Boxes(), *m_status, PageDesign, scale);
    m_memoPage->setFont(font());
    m_pgcMain->addTab(m_memoPage, QStringLiteral("　伝言板　"));
    // The board is the window's topic: the tabs, the status bar and the filters explain there.
    SetHelpContext(this, HelpTopic::Board);
    SetHelpContext(m_tabKeiziban, HelpTopic::Board);
    // Ends 4 pixels above the status bar.
    anchors->Place(m_pgcMain, QRect(8, 8, 617, CentralDesign.height() - 8 - 4),
                   Anchors::Left | Anchors::Top | Anchors::Bottom);
    connect(m_pgcMain, &QTabWidget::currentChanged, this, [this] { pgcMainChange(); });

    m_filters = new FilterPanel(m_session.State(), *m_keiziban, *central, scale);
    setStatusBar(m_status);
    resize(ScaleFrom96(640, m_placement.Dpi()), ScaleFrom96(460, m_placement.Dpi()));
}

void TfrmMain::BuildBoardPage(QWidget& page, double scale)
{
    auto* anchors = new Anchors(page, PageDesign, scale);

    auto* left = headerLabel(&page, scale);
    left->setObjectName(QStringLiteral("lblHeaderLeft"));
    anchors->Place(left, QRect(8, 8, 281, 17));
    auto* right = headerLabel(&page, scale);
    right->setObjectName(QStringLiteral("lblHeaderRight"));
    anchors->Place(right, QRect(288, 8, 297, 17));

    m_keiziban = new TVurnaGrid(m_session.State().Model, m_session.clock(), &page);
    m_keiziban->setObjectName(QStringLiteral("Keiziban"));
    m_keiziban->setToolTip(QStringLiteral("ダブルクリックすると最新情報をロードして詳細表示します。"));
    anchors->Place(m_keiziban, QRect(8, 24, 564, 257), Anchors::All);
    if (QScrollBar* bar = m_keiziban->ScrollBar()) {
        bar->setObjectName(QStringLiteral("vbarKeiziban"));
        // At the grid's right edge: left = grid left + grid width - 1, 33 wide.
        anchors->Place(bar, QRect(8 + 564 - 1, 24, 33, 257), Anchors::Top | Anchors::Bottom | Anchors::Right);
    }

    m_panel1 = new HighlightPanel(&page);
    anchors->Place(m_panel1, QRect(8, 291, 425, 57), Anchors::Left | Anchors::Bottom);
    connect(m_panel1, &HighlightPanel::HighlightChosen, this,
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
