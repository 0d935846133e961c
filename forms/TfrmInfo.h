#pragma once

#include "platform/FileText.h"
#include "store/MemoFiles.h"
#include "store/ParmRec.h"
#include "store/TVurnaDataRec.h"

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QStringList>

#include <functional>

class Clock;
class MessageBoxes;
class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class ShadowLabel;
class StatusSink;
class TQuaxoRichEdit;
class TVurnaBoardModel;
class TVurnaCalendar;

// What the detail window works with, handed in by the board window for one use.
struct InfoContext
{
    TVurnaBoardModel& board; // the board on show: members are read afresh through it
    // The one way absences are written: every record 1..n gets the absence, is saved and
    // announced, then the change stamp advances once.
    std::function<void(TVurnaDataArray& records, const QByteArray& locate, qint32 statusIndex, const QByteArray& time,
                       const QByteArray& date)>
        setHuzai;
    const TVurnaDataRec& own; // the running user (the sender of memos)
    Clock& clock;
    MessageBoxes& boxes;
    StatusSink& status;            // the board window's status bar
    QList<QPixmap> statusPictures; // by display status code
    QStringList dropFiles;         // the items of the last drop on the board, in drop order
    std::function<void()> clearDropFiles;
    // Replaces the send list with `lines` and works it through; returns when all are done.
    std::function<void(const QList<QByteArray>& lines)> send;
    MemoFiles::Policy memoPolicy;
    RetryPolicy files; // the history files
};

// The detail window: one or more members picked on the board, in five modes that share one
// member header. It shows a member's data and memo board, writes memos and parcels (Vurna便)
// to all of them, and sets or clears their absence with a reason, a return date from the
// calendar and a time. It works on its own copy of the members and keeps a history of the
// reasons used per member. Created for one use and shown modally.
class TfrmInfo final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmInfo)

public:
    enum class Mode { Details = 0, DengonSend = 1, DengonRead = 2, HuzaiSet = 3, SendFiles = 4 };

    explicit TfrmInfo(InfoContext context, QWidget* parent = nullptr);
    ~TfrmInfo() override;

    // Fills the window for `selection` (element 0 a placeholder) on the board of `site` and shows
    // it modally; returns when it closes. `presetToday`: the user's own absence entry, which
    // starts at today's date.
    void ShowInfo(const ParmRec& site, const TVurnaDataArray& selection, bool presetToday, Mode mode);
    // ShowInfo without showing: the window is filled and ready. False when filling failed (the
    // window is then closed and the status bar says so).
    bool Prepare(const ParmRec& site, const TVurnaDataArray& selection, bool presetToday, Mode mode);

    Mode CurrentMode() const { return m_mode; }
    const TVurnaDataArray& Selection() const { return m_selection; }

    // Mode buttons and the commands, for the board window's tests and screenshots.
    void SwitchMode(Mode mode);
    void cmbNameChange(int index);
    void btnSendClick();
    void HuzaiSetClick();
    void HuzaiResetClick();
    // Shows or hides the return-date calendar as a click on the date field does.
    void edtMonthClick();

    // Merges the new reason into the history of every selected member and writes it.
    void HistoryAdd(const QByteArray& newText);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    // Building (InfoWindowLayout.cpp).
    void BuildWindow();
    QWidget* BuildHeader();
    QWidget* BuildInfoPanel();
    QWidget* BuildReadPanel();
    QWidget* BuildSendPanel();
    QWidget* BuildHuzaiPanel();
    void BuildReturnDatePopup();
    void ConnectHuzaiPanel();

    // Filling.
    void SetInfoPanel(const TVurnaDataRec& member);
    void SetReadPanel(const TVurnaDataRec& member);
    void SetHuzaiPanel(const TVurnaDataRec& member);
    void ApplyGeometry();
    QIcon StatusMarkIcon(int picture) const;

    // The absence panel (InfoHuzaiPanel.cpp).
    void SetDate(const QDate& date);
    void CalendarPicked();
    void MoveMonth(int months);
    void DeleteHistoryClick();
    void CopyFromHistory();
    void UpdateHistoryButtons();
    void cmbReturnTimeExit();
    // The members as their files hold them now; false (with a message) when the share failed.
    bool ReadSelectionAfresh(TVurnaDataArray& records);
    int SelectedCount() const { return int(m_selection.size()) - 1; }

    void pnlInfoClose();

    InfoContext m_context;
    ParmRec m_site;
    TVurnaDataArray m_selection;
    bool m_presetToday = false;
    Mode m_mode = Mode::Details;
    bool m_closing = false;
    bool m_historyReadOk = true; // the single member's history file could be read
    bool m_checkingTime = false; // the return-time message is open

    // Header and mode buttons.
    QButtonGroup* m_modeButtons = nullptr;
    QToolButton* m_sbtnInfo = nullptr;
    QToolButton* m_sbtnHuzai = nullptr;
    QToolButton* m_sbtnRead = nullptr;
    QToolButton* m_sbtnSend = nullptr;
    QToolButton* m_sbtnTrans = nullptr;
    QLineEdit* m_edtFurigana = nullptr;
    QComboBox* m_cmbName = nullptr;
    QLineEdit* m_edtIPAddress = nullptr;
    QFrame* m_pnlMultiUsers = nullptr;
    QLineEdit* m_edtFuriganaFrom = nullptr;
    QLineEdit* m_edtNameFrom = nullptr;
    QLineEdit* m_edtFuriganaTo = nullptr;
    QLineEdit* m_edtNameTo = nullptr;

    // Panels.
    QWidget* m_pnlInfo = nullptr;
    QWidget* m_pnlRead = nullptr;
    QWidget* m_pnlSend = nullptr;
    QWidget* m_pnlHuzai = nullptr;

    QLineEdit* m_edtGroup = nullptr;
    QLineEdit* m_edtWarningCall = nullptr;
    QLineEdit* m_edtInnerLine = nullptr;
    QLineEdit* m_edtReturn = nullptr;
    QPlainTextEdit* m_memLocate = nullptr;
    QLineEdit* m_edtLastUpdate = nullptr;
    QPushButton* m_btnInfoCancel = nullptr;

    TQuaxoRichEdit* m_memReadRich = nullptr;
    ShadowLabel* m_lblRead = nullptr;
    QPushButton* m_btnReadCancel = nullptr;

    QPlainTextEdit* m_memSend = nullptr;
    QPushButton* m_btnSendOK = nullptr;
    QPushButton* m_btnSendCancel = nullptr;

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
    QFrame* m_pnlReturnDate = nullptr;
    TVurnaCalendar* m_calMonth = nullptr;
    QPushButton* m_btnPrevMonth = nullptr;
    QPushButton* m_btnToday = nullptr;
    QPushButton* m_btnNextMonth = nullptr;
    QPlainTextEdit* m_memWhatDay = nullptr;
};
