#pragma once

#include <QDate>
#include <QFrame>

class Clock;
struct ParmRec;
class QPlainTextEdit;
class QPushButton;
class TVurnaCalendar;

// The calendar that drops down under the absence panel's return date: a month with the site's
// holidays, the moves to last month, today and next month, and the note of the day under the
// mouse. It lies on the window, over the panel, so that it may reach below the panel.
class ReturnDatePopup final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReturnDatePopup)

public:
    // `clock`, which gives today, must outlive the pop-up.
    ReturnDatePopup(Clock& clock, QWidget* window);

    // The site's weekend, extra working days and holidays.
    void SetDays(const ParmRec& site);
    QDate Date() const;
    // Shows `date` without telling: the panel set it, so nothing was picked.
    void SetDate(const QDate& date);

signals:
    // The user picked `date` on the calendar.
    void DatePicked(const QDate& date);
    // The user moved to `date` with a button; the calendar stays open.
    void DateMoved(const QDate& date);

private:
    Clock& m_clock;
    TVurnaCalendar* m_calMonth = nullptr;
    QPushButton* m_btnPrevMonth = nullptr;
    QPushButton* m_btnToday = nullptr;
    QPushButton* m_btnNextMonth = nullptr;
    QPlainTextEdit* m_memWhatDay = nullptr;
};
