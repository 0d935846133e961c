#pragma once

#include "forms/InfoContext.h"
#include "store/ParmRec.h"
#include "store/TVurnaDataRec.h"

#include <QDialog>

struct MemberFiles;
class InfoDetailsPanel;
class InfoHeader;
class InfoHuzaiPanel;
class InfoReadPanel;
class InfoSendPanel;
class QButtonGroup;
class QToolButton;

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

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    // 送信 on the send panel: the memo, and the dropped files in SendFiles mode, go to every
    // selected member.
    void btnSendClick();
    void BuildWindow(); // InfoWindowLayout.cpp
    void ApplyGeometry();
    void SwitchMode(Mode mode);
    void cmbNameChange(int index);
    // The file of the member at `at` of the selection, read on the share's queue; the board takes
    // it too, as it stood at `mark`.
    void TakeMemberRead(int at, const QByteArray& path, quint64 mark, const MemberFiles& files);
    void pnlInfoClose();
    int SelectedCount() const { return int(m_selection.size()) - 1; }

    InfoContext m_context;
    ParmRec m_site;
    TVurnaDataArray m_selection;
    Mode m_mode = Mode::Details;
    int m_shownAt = 0; // the member on show, in the selection
    bool m_closing = false;

    QButtonGroup* m_modeButtons = nullptr;
    QToolButton* m_sbtnSend = nullptr;
    QToolButton* m_sbtnTrans = nullptr;
    InfoHeader* m_header = nullptr;
    InfoDetailsPanel* m_pnlInfo = nullptr;
    InfoReadPanel* m_pnlRead = nullptr;
    InfoSendPanel* m_pnlSend = nullptr;
    InfoHuzaiPanel* m_pnlHuzai = nullptr;
};
