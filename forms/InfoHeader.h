#pragma once

#include "store/TVurnaDataRec.h"

#include <QFrame>

class QComboBox;
class QLineEdit;

// The member header over the detail window's panels: reading, name and address of the member
// on show, the name list choosing among the selected members, and the banner over it that names
// the first and last of several.
class InfoHeader final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InfoHeader)

public:
    explicit InfoHeader(QWidget* parent);

    // The selected members (element 0 the placeholder) as the name list; the first is chosen.
    void SetNames(const TVurnaDataArray& selection);
    // The chosen member's fields, with its name as the list's current item.
    void ShowMember(const TVurnaDataRec& member);
    // The banner's first and last of several members.
    void SetRange(const TVurnaDataRec& first, const TVurnaDataRec& last);
    void ShowBanner(bool shown);

signals:
    // The user chose the member at `index` (0 the first selected) from the list.
    void MemberChosen(int index);

private:
    QLineEdit* m_edtFurigana = nullptr;
    QComboBox* m_cmbName = nullptr;
    QLineEdit* m_edtIPAddress = nullptr;
    QFrame* m_pnlMultiUsers = nullptr;
    QLineEdit* m_edtFuriganaFrom = nullptr;
    QLineEdit* m_edtNameFrom = nullptr;
    QLineEdit* m_edtFuriganaTo = nullptr;
    QLineEdit* m_edtNameTo = nullptr;
};
