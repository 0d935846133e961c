#pragma once

#include "session/SettingResult.h"
#include "store/DefaultValueFile.h"
#include "store/ParmRec.h"
#include "store/TVurnaDataRec.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class Clock;
class FolderChooser;
class MessageBoxes;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What the preferences dialog may ask of the program: the seams, and readers for a directory
// the user points it at. It is handed these so that it never loads or writes anything itself.
struct SettingEnvironment
{
    FolderChooser& folders;
    MessageBoxes& boxes;
    const Clock& clock;
    // A directory's members (element 0 the placeholder); `error` gets the text when it could
    // not be read.
    std::function<TVurnaDataArray(const QByteArray& shareDir, QString* error)> loadMembers;
    // That directory's site configuration (its sort priority).
    std::function<ParmRec(const QByteArray& shareDir)> readSiteConfig;
    // Whether the autostart entry exists now.
    std::function<bool()> shortcutPresent;
    // Runs the default values dialog on `current`; nullopt when it was cancelled.
    std::function<std::optional<TVurnaDefaultValue>(const TVurnaDefaultValue& current)> editDefaults;
    // The user's defaults as the file holds them now.
    std::function<TVurnaDefaultValue()> readDefaults;
};

// The preferences: the shared directory, who the user is on the board, and the local options.
class TfrmSetting final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmSetting)

public:
    // `ownBoard` gives the directory, the local options and the sort priority; `own` the user's
    // identity; `members` the board's members as loaded (element 0 the placeholder).
    TfrmSetting(SettingEnvironment env, const ParmRec& ownBoard, const TVurnaDataRec& own,
                const TVurnaDataArray& members, QWidget* parent = nullptr);

    // True only when "設定" closed the dialog with values that passed its checks.
    bool Ok() const { return m_ok; }
    const SettingResult& Result() const { return m_result; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildWindow();
    void cmbOwnerFileNameSet(const TVurnaDataArray& members);
    void SetOwnerStatusToField(const TVurnaDataRec& record);
    void SetGroupList();
    void SetSortPriority(qint32 length);
    void TakeDirectory(const QByteArray& dir);
    void cmbOwnerFileNameClick(int index);
    void edtExit(QWidget* field);
    void btnSelectShareDirClick();
    void edtShareDirExit();
    void chkDefaultValueClick(bool checked);
    void btnOKClick();
    bool Refuse(const std::optional<QString>& refusal, QWidget* field);

    SettingEnvironment m_env;
    TVurnaDataRec m_own;
    TVurnaDataArray m_members;
    SettingResult m_result;
    bool m_ok = false;

    QLineEdit* m_edtShareDir = nullptr;
    QPushButton* m_btnSelectShareDir = nullptr;
    QComboBox* m_cmbOwnerFileName = nullptr;
    QLineEdit* m_edtOwnerFurigana = nullptr;
    QLineEdit* m_edtOwnerName = nullptr;
    QComboBox* m_cmbOwnerGroup = nullptr;
    QLineEdit* m_edtOwnerWarningCall = nullptr;
    QLineEdit* m_edtOwnerInnerLine = nullptr;
    QLabel* m_lblSortPriority = nullptr;
    QComboBox* m_cmbSortLevel = nullptr;
    QCheckBox* m_chkAutoMinimum = nullptr;
    QCheckBox* m_chkCreateShortcut = nullptr;
    QCheckBox* m_chkDefaultValue = nullptr;
    QCheckBox* m_chkAutoDengonOpen = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnCancel = nullptr;
};
