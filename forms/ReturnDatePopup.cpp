#include "forms/ReturnDatePopup.h"

#include "forms/HelpContext.h"
#include "forms/InfoControls.h"
#include "forms/TVurnaCalendar.h"
#include "platform/Clock.h"
#include "store/ParmRec.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace InfoControls;

ReturnDatePopup::ReturnDatePopup(Clock& clock, QWidget* window) : QFrame(window), m_clock(clock)
{
    setObjectName(QStringLiteral("pnlReturnDate"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_calMonth = named(new TVurnaCalendar(clock, this), "calMonth");
    m_calMonth->setToolTip(QStringLiteral("戻り日付を選択してください。"));
    m_calMonth->SetStartOfWeek(0);
    m_calMonth->setMinimumSize(224, 140);
    layout->addWidget(m_calMonth, 1);
    auto* moves = new QHBoxLayout;
    m_btnPrevMonth = button(this, "btnPrevMonth", QStringLiteral("先月"), QStringLiteral("先月に移動します。"));
    m_btnToday = button(this, "btnToday", QStringLiteral("今日"), QStringLiteral("今日に移動します。"));
    m_btnNextMonth = button(this, "btnNextMonth", QStringLiteral("来月"), QStringLiteral("来月に移動します。"));
    moves->addWidget(m_btnPrevMonth);
    moves->addWidget(m_btnToday);
    moves->addWidget(m_btnNextMonth);
    layout->addLayout(moves);
    m_memWhatDay = named(new QPlainTextEdit(this), "memWhatDay");
    m_memWhatDay->setReadOnly(true);
    m_memWhatDay->setToolTip(QStringLiteral("祭日等が表示されます。"));
    m_memWhatDay->setFixedHeight(30);
    QPalette palette = m_memWhatDay->palette();
    palette.setColor(QPalette::Base, QColor(0, 0, 128));
    palette.setColor(QPalette::Text, QColor(0, 255, 255));
    m_memWhatDay->setPalette(palette);
    layout->addWidget(m_memWhatDay);
    resize(240, 226);
    hide();
    // The pop-up is no child of the absence panel, whose topic it shares.
    SetHelpContext(this, HelpTopic::Absence);

    const auto picked = [this] { emit DatePicked(m_calMonth->Date()); };
    connect(m_calMonth, &TVurnaCalendar::OnClick, this, picked);
    connect(m_calMonth, &TVurnaCalendar::OnChange, this, picked);
    connect(m_calMonth, &TVurnaCalendar::OnMouseMove, this,
            [this] { m_memWhatDay->setPlainText(m_calMonth->WhatDay()); });
    connect(m_btnToday, &QPushButton::clicked, this, [this] { emit DateMoved(m_clock.now().date()); });
    // QDate::addMonths keeps the day where the target month has it, else its last day.
    connect(m_btnPrevMonth, &QPushButton::clicked, this, [this] { emit DateMoved(m_calMonth->Date().addMonths(-1)); });
    connect(m_btnNextMonth, &QPushButton::clicked, this, [this] { emit DateMoved(m_calMonth->Date().addMonths(1)); });
}

void ReturnDatePopup::SetDays(const ParmRec& site)
{
    m_calMonth->SetWeekend(site.Weekend);
    m_calMonth->SetWorkDay(site.WorkDays);
    m_calMonth->SetHoliDay(site.Holidays);
}

QDate ReturnDatePopup::Date() const
{
    return m_calMonth->Date();
}

void ReturnDatePopup::SetDate(const QDate& date)
{
    const QSignalBlocker quiet(m_calMonth);
    m_calMonth->SetDate(date);
    m_calMonth->update();
}
