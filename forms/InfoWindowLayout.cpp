// The detail window's layout: the mode buttons over the member header and the four panels,
// of which one is on show.

#include "forms/DialogFont.h"
#include "forms/HelpContext.h"
#include "forms/InfoControls.h"
#include "forms/InfoDetailsPanel.h"
#include "forms/InfoHeader.h"
#include "forms/InfoHuzaiPanel.h"
#include "forms/InfoReadPanel.h"
#include "forms/InfoSendPanel.h"
#include "forms/TfrmInfo.h"

#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

using InfoControls::named;

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
    const auto modeButton = [&](const char* name, const QString& caption, const QString& hint, Mode mode,
                                int helpTopic) {
        auto* b = named(new QToolButton(pnlControl), name);
        b->setText(caption);
        b->setToolTip(hint);
        b->setCheckable(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setMinimumHeight(26);
        // F1 on a mode button explains the panel it opens.
        SetHelpContext(b, helpTopic);
        m_modeButtons->addButton(b, int(mode));
        controlRow->addWidget(b);
        return b;
    };
    modeButton("sbtnInfo", QStringLiteral("詳細表示"), QStringLiteral("個人情報の詳細表示パネルに切り替えます。"),
               Mode::Details, HelpTopic::Details);
    modeButton("sbtnHuzai", QStringLiteral("不在設定"), QStringLiteral("不在設定パネルに切り替えます。"),
               Mode::HuzaiSet, HelpTopic::Absence);
    modeButton("sbtnRead", QStringLiteral("伝言確認"), QStringLiteral("伝言板の確認パネルに切り替えます。"),
               Mode::DengonRead, HelpTopic::MemoCheck);
    m_sbtnSend = modeButton("sbtnSend", QStringLiteral("伝言作成"), QStringLiteral("伝言の送信パネルに切り替えます。"),
                            Mode::DengonSend, HelpTopic::Send);
    m_sbtnTrans = modeButton("sbtnTrans", QStringLiteral("Vurna便作成"),
                             QStringLiteral("Vurna便の送信パネルに切り替えます。"), Mode::SendFiles, HelpTopic::Send);
    m_sbtnTrans->hide();
    SetHelpContext(this, HelpTopic::Details);
    m_modeButtons->setExclusive(true);
    connect(m_modeButtons, &QButtonGroup::idClicked, this, [this](int id) { SwitchMode(Mode(id)); });
    layout->addWidget(pnlControl);

    m_header = new InfoHeader(this);
    layout->addWidget(m_header);
    m_pnlInfo = new InfoDetailsPanel(this);
    m_pnlRead = new InfoReadPanel(m_context, this);
    m_pnlSend = new InfoSendPanel(this);
    // Last, so that its calendar pop-up lies over everything else.
    m_pnlHuzai = new InfoHuzaiPanel(m_context, m_site, m_selection, this);
    for (QWidget* panel : std::initializer_list<QWidget*>{m_pnlInfo, m_pnlRead, m_pnlSend, m_pnlHuzai}) {
        layout->addWidget(panel, 1);
        panel->hide();
    }
}
