#pragma once

#include <QFrame>

class QPlainTextEdit;
class QPushButton;

// The detail window's panel where a memo is written, alone or with the files of a parcel.
class InfoSendPanel final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InfoSendPanel)

public:
    explicit InfoSendPanel(QWidget* parent);

    // The memo as it starts: its header line.
    void SetText(const QString& text);
    QString Text() const;
    // Into the memo, after what is written.
    void TakeFocus();

signals:
    // 送信.
    void SendRequested();
    // 戻る: back to the board, nothing sent.
    void CloseRequested();

private:
    QPlainTextEdit* m_memSend = nullptr;
    QPushButton* m_btnSendOK = nullptr;
    QPushButton* m_btnSendCancel = nullptr;
};
