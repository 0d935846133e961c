#pragma once

#include "store/DefaultValueFile.h"
#include "store/ParmRec.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QPixmap>

class Clock;
class MessageBoxes;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

// Edits the absence entered for the user when the program ends while they are present. The
// caller reads the defaults file, hands the values in and writes them back on Ok(): the
// dialog never touches the file, so a user without a file name can still be shown it.
class TfrmDefaultValue final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmDefaultValue)

public:
    // `board` is the own board (its time table and status names); `statusPictures` are its
    // status pictures by display code.
    TfrmDefaultValue(const ParmRec& board, QList<QPixmap> statusPictures, const Clock& clock, MessageBoxes& boxes,
                     const TVurnaDefaultValue& initial, QWidget* parent = nullptr);

    // True only when "設定" closed the dialog with values that passed its checks.
    bool Ok() const { return m_ok; }
    // The values as CP932 text, the reason as typed (not trimmed, line breaks CR LF); they are
    // the values handed in until "設定" succeeds.
    const TVurnaDefaultValue& Value() const { return m_result; }

private:
    void BuildWindow(const ParmRec& board, const QList<QPixmap>& statusPictures);
    void btnOKClick();
    void btnCancelClick();
    void Refuse(const QString& text);

    const Clock& m_clock;
    MessageBoxes& m_boxes;
    TVurnaDefaultValue m_result;
    bool m_ok = false;

    QComboBox* m_cmbReturnTime = nullptr;
    QComboBox* m_cmbStatus = nullptr;
    QPlainTextEdit* m_memoLocate = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnCancel = nullptr;
};
