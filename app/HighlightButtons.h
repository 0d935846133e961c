#pragma once

#include <QByteArray>
#include <QFrame>
#include <QList>
#include <QString>

class QAbstractButton;
class QButtonGroup;

// The kana rows that highlight buttons pick, by tag: 0 none ("*"), 1 あ行 … 10 わ行.
namespace HighlightRows {

constexpr int Count = 11;

// The half-width katakana (CP932) that start the readings of the row, "*" for tag 0.
QByteArray Characters(int tag);
// The button's object name: sbtnHighLightAll, sbtnHighLightA, … sbtnHighLightW.
QString ButtonName(int tag);
// "あ行" … "わ行"; empty for tag 0.
QString RowName(int tag);
// The hint shown for the button.
QString Hint(int tag);

// The button that a typed character picks: A E I O U あ行, G K か行, … W わ行, anything
// else 0 (highlighting off). Upper and lower case alike.
int TagForCharacter(QChar character);

} // namespace HighlightRows

// Panel1: eleven flat buttons of one group, exactly one of them down (the first at start).
// A click puts the button down and announces the row's characters.
class HighlightPanel final : public QFrame
{
    Q_OBJECT

public:
    explicit HighlightPanel(QWidget* parent = nullptr);

    QAbstractButton* Button(int tag) const;
    int CheckedTag() const;
    // Puts the button of `tag` down and announces its characters (sbtnHighLightAtoWClick).
    void Choose(int tag);
    // Lays the buttons out across the panel's current size.
    void LayOut();

signals:
    void HighlightChosen(const QByteArray& characters);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QButtonGroup* m_group;
    QList<QAbstractButton*> m_buttons;
};
