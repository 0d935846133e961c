#include "forms/InfoHeader.h"

#include "forms/InfoControls.h"
#include "forms/ShadowLabel.h"
#include "platform/Cp932.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

using namespace InfoControls;

InfoHeader::InfoHeader(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("pnlSingleUser"));
    setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(2);
    grid->addWidget(new ShadowLabel(QStringLiteral("フ リ ガ ナ"), this), 0, 0);
    m_edtFurigana = readOnlyField(this, "edtFurigana");
    grid->addWidget(m_edtFurigana, 0, 1);
    grid->addWidget(new ShadowLabel(QStringLiteral("名　　前"), this), 1, 0);
    m_cmbName = named(new QComboBox(this), "cmbName");
    grid->addWidget(m_cmbName, 1, 1);
    grid->addWidget(new ShadowLabel(QStringLiteral("IP Address"), this), 2, 0);
    m_edtIPAddress = readOnlyField(this, "edtIPAddress");
    m_edtIPAddress->setText(QStringLiteral("000.000.000.000"));
    grid->addWidget(m_edtIPAddress, 2, 1);
    grid->setColumnStretch(1, 1);
    connect(m_cmbName, &QComboBox::activated, this, &InfoHeader::MemberChosen);

    // The banner for several members lies over the name area.
    m_pnlMultiUsers = named(new QFrame(this), "pnlMultiUsers");
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
}

void InfoHeader::SetNames(const TVurnaDataArray& selection)
{
    m_cmbName->clear();
    for (qsizetype i = 1; i < selection.size(); ++i)
        m_cmbName->addItem(Cp932::toUnicode(selection.at(i).Name));
    m_cmbName->setCurrentIndex(0);
}

void InfoHeader::SetRange(const TVurnaDataRec& first, const TVurnaDataRec& last)
{
    m_edtFuriganaFrom->setText(Cp932::toUnicode(first.Furigana));
    m_edtNameFrom->setText(Cp932::toUnicode(first.Name));
    m_edtFuriganaTo->setText(Cp932::toUnicode(last.Furigana));
    m_edtNameTo->setText(Cp932::toUnicode(last.Name));
}

void InfoHeader::ShowMember(const TVurnaDataRec& member)
{
    m_edtFurigana->setText(Cp932::toUnicode(member.Furigana));
    m_cmbName->setItemText(m_cmbName->currentIndex(), Cp932::toUnicode(member.Name));
    m_edtIPAddress->setText(Cp932::toUnicode(member.IP));
}

void InfoHeader::ShowBanner(bool shown)
{
    m_pnlMultiUsers->setVisible(shown);
    if (m_pnlMultiUsers->isVisible())
        m_pnlMultiUsers->raise();
}
