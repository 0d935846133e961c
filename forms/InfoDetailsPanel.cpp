#include "forms/InfoDetailsPanel.h"

#include "forms/HelpContext.h"
#include "forms/InfoControls.h"
#include "forms/InfoTexts.h"
#include "forms/ShadowLabel.h"
#include "platform/Cp932.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace InfoControls;

namespace {

void darkField(QWidget* field)
{
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    field->setPalette(palette);
}

} // namespace

InfoDetailsPanel::InfoDetailsPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("pnlInfo"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 4, 0, 0);
    const auto row = [&](int r, const QString& caption, QWidget* field) {
        grid->addWidget(new ShadowLabel(caption, this), r, 0, Qt::AlignTop);
        grid->addWidget(field, r, 1);
        darkField(field);
    };
    m_edtGroup = readOnlyField(this, "edtGroup");
    m_edtWarningCall = readOnlyField(this, "edtWarningCall");
    m_edtInnerLine = readOnlyField(this, "edtInnerLine");
    m_edtReturn = readOnlyField(this, "edtReturn");
    m_memLocate = named(new QPlainTextEdit(this), "memLocate");
    m_memLocate->setReadOnly(true);
    m_edtLastUpdate = readOnlyField(this, "edtLastUpdate");
    row(0, QStringLiteral("グループ"), m_edtGroup);
    row(1, QStringLiteral("連 絡 先"), m_edtWarningCall);
    row(2, QStringLiteral("備　　考"), m_edtInnerLine);
    row(3, QStringLiteral("戻り日時"), m_edtReturn);
    row(4, QStringLiteral("不在理由"), m_memLocate);
    row(5, QStringLiteral("設定日時"), m_edtLastUpdate);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
    m_btnInfoCancel = button(this, "btnInfoCancel", QStringLiteral("戻る"), QStringLiteral("掲示板に戻ります。"));
    grid->addLayout(buttonRow({m_btnInfoCancel}), 6, 0, 1, 2);
    connect(m_btnInfoCancel, &QPushButton::clicked, this, &InfoDetailsPanel::CloseRequested);
    SetHelpContext(this, HelpTopic::Details);
}

void InfoDetailsPanel::ShowMember(const TVurnaDataRec& member, const QDate& today)
{
    m_edtGroup->setText(Cp932::toUnicode(member.Group));
    m_edtWarningCall->setText(Cp932::toUnicode(member.WarningCall));
    m_edtInnerLine->setText(Cp932::toUnicode(member.InnerLine));
    m_memLocate->setPlainText(Cp932::toUnicode(member.Locate));
    m_edtReturn->setText(InfoTexts::ReturnText(member.Date, member.Time, today));
    m_edtLastUpdate->setText(member.Locate.isEmpty() ? QString() : InfoTexts::LastUpdateText(member.FileTime));
}

void InfoDetailsPanel::TakeFocus()
{
    m_btnInfoCancel->setFocus();
}
