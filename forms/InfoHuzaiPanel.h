#pragma once

#include "forms/InfoContext.h"
#include "store/ParmRec.h"

#include <QFrame>
#include <QIcon>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class ReturnDatePopup;

// The detail window's absence panel: the return date from the calendar pop-up, the return
// time, the status mark, the reason with the member's history of reasons, and Set and Reset,
// which write the absence of every selected member through the window's context.
class InfoHuzaiPanel final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InfoHuzaiPanel)

public:
    // `context`, `site` and `selection` (element 0 a placeholder) are the window's, read each
    // time they are used. The calendar pop-up lies on `window`, the panel's parent.
    InfoHuzaiPanel(const InfoContext& context, const ParmRec& site, const TVurnaDataArray& selection, QWidget* window);
    ~InfoHuzaiPanel() override;

    // The site's return times and status marks as the choices. `presetToday`: the user's own
    // absence entry, which starts at today's date.
    void Prepare(bool presetToday);
    // The absence of `member`, the one chosen in the header; with several members selected, an
    // empty entry for all of them.
    void ShowMember(const TVurnaDataRec& member);
    // The member's file as read afresh: the entry follows it unless the user has changed it.
    void MemberReadAfresh(const TVurnaDataRec& member);
    void TakeFocus();
    void HideReturnDate();

    // 解除 (also Esc on the panel): clears the absence of every selected member.
    void HuzaiResetClick();

signals:
    // Set, Reset or 戻る is done: back to the board.
    void CloseRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    void Connect();
    QIcon StatusMarkIcon(int picture) const;
    // The entry as the panel shows it: what the user may change.
    struct Entry
    {
        QString reason, date, time;
        int mark = 0;
        bool withDate = false;
        bool operator==(const Entry&) const = default;
    };
    Entry EntryOnShow() const;
    void FillAbsence(const TVurnaDataRec& member);
    void SetDate(const QDate& date);
    void edtMonthClick();
    void CalendarPicked(const QDate& date);
    void DeleteHistoryClick();
    void CopyFromHistory();
    void UpdateHistoryButtons();
    void cmbReturnTimeExit();
    void HuzaiSetClick();
    // Merges the new reason into the history of every selected member.
    void HistoryAdd(const QByteArray& newText);
    int SelectedCount() const { return int(m_selection.size()) - 1; }

    const InfoContext& m_context;
    const ParmRec& m_site;
    const TVurnaDataArray& m_selection;
    bool m_presetToday = false;
    // The single member's history: asked for on the share's queue, then on show or unreadable.
    enum class History { None, Asked, Shown, Unreadable };
    History m_history = History::None;
    QByteArray m_historyFor;     // the member whose history is on its way or on show
    Entry m_filled;              // the entry as filled from the member
    bool m_checkingTime = false; // the return-time message is open

    QRadioButton* m_rbtnDateTime = nullptr;
    QLineEdit* m_edtMonth = nullptr;
    QComboBox* m_cmbReturnTime = nullptr;
    QRadioButton* m_rbtnNoReturnDate = nullptr;
    QComboBox* m_cmbStatus = nullptr;
    QPlainTextEdit* m_memHuzai = nullptr;
    QListWidget* m_lstHistory = nullptr;
    QPushButton* m_btnCopyFromHistory = nullptr;
    QPushButton* m_btnDeleteHistory = nullptr;
    QPushButton* m_btnHuzaiSet = nullptr;
    QPushButton* m_btnHuzaiReset = nullptr;
    QPushButton* m_btnHuzaiCancel = nullptr;
    ReturnDatePopup* m_pnlReturnDate = nullptr;
};
