#pragma once

#include "store/TVurnaDataRec.h"

#include <QFrame>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The detail window's panel of a member's data, white on black: group, phone, notes, return
// date, reason and when the absence was set.
class InfoDetailsPanel final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InfoDetailsPanel)

public:
    explicit InfoDetailsPanel(QWidget* parent);

    // `today` tells how the return date is written.
    void ShowMember(const TVurnaDataRec& member, const QDate& today);
    void TakeFocus();

signals:
    // 戻る: back to the board.
    void CloseRequested();

private:
    QLineEdit* m_edtGroup = nullptr;
    QLineEdit* m_edtWarningCall = nullptr;
    QLineEdit* m_edtInnerLine = nullptr;
    QLineEdit* m_edtReturn = nullptr;
    QPlainTextEdit* m_memLocate = nullptr;
    QLineEdit* m_edtLastUpdate = nullptr;
    QPushButton* m_btnInfoCancel = nullptr;
};
