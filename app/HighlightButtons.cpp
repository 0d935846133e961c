#include "app/HighlightButtons.h"

#include "platform/Cp932.h"

#include <QButtonGroup>
#include <QToolButton>

namespace HighlightRows {

namespace {

struct Row
{
    const char* suffix;
    const char16_t* caption;
    const char16_t* characters;
    const char16_t* rowName;
};

constexpr Row Rows[Count] = {
    {"All", u"全", u"*", u""},       {"A", u"あ", u"ｱｲｳｴｵ", u"あ行"}, {"K", u"か", u"ｶｷｸｹｺ", u"か行"},
    {"S", u"さ", u"ｻｼｽｾｿ", u"さ行"}, {"T", u"た", u"ﾀﾁﾂﾃﾄ", u"た行"}, {"N", u"な", u"ﾅﾆﾇﾈﾉ", u"な行"},
    {"H", u"は", u"ﾊﾋﾌﾍﾎ", u"は行"}, {"M", u"ま", u"ﾏﾐﾑﾒﾓ", u"ま行"}, {"Y", u"や", u"ﾔﾕﾖ", u"や行"},
    {"R", u"ら", u"ﾗﾘﾙﾚﾛ", u"ら行"}, {"W", u"わ", u"ﾜｦﾝ", u"わ行"},
};

bool valid(int tag)
{
    return tag >= 0 && tag < Count;
}

} // namespace

QByteArray Characters(int tag)
{
    return valid(tag) ? Cp932::fromUnicodeLossy(QString::fromUtf16(Rows[tag].characters)) : QByteArray("*");
}

QString ButtonName(int tag)
{
    return valid(tag) ? QStringLiteral("sbtnHighLight") + QLatin1String(Rows[tag].suffix) : QString();
}

QString RowName(int tag)
{
    return valid(tag) ? QString::fromUtf16(Rows[tag].rowName) : QString();
}

QString Hint(int tag)
{
    if (tag == 0)
        return QStringLiteral("ハイライト表示をやめ、通常の表示に戻します。");
    return QStringLiteral("「") + RowName(tag) + QStringLiteral("」で始まる名前の人をハイライト表示します。");
}

int TagForCharacter(QChar character)
{
    switch (character.toUpper().unicode()) {
    case 'A':
    case 'E':
    case 'I':
    case 'O':
    case 'U':
        return 1;
    case 'G':
    case 'K':
        return 2;
    case 'S':
    case 'Z':
        return 3;
    case 'D':
    case 'T':
        return 4;
    case 'N':
        return 5;
    case 'B':
    case 'H':
        return 6;
    case 'M':
        return 7;
    case 'Y':
        return 8;
    case 'R':
        return 9;
    case 'W':
        return 10;
    default:
        return 0;
    }
}

} // namespace HighlightRows

HighlightPanel::HighlightPanel(QWidget* parent) : QFrame(parent), m_group(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("Panel1"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    m_group->setExclusive(true);
    for (int tag = 0; tag < HighlightRows::Count; ++tag) {
        auto* button = new QToolButton(this);
        button->setObjectName(HighlightRows::ButtonName(tag));
        button->setText(QString::fromUtf16(HighlightRows::Rows[tag].caption));
        button->setToolTip(HighlightRows::Hint(tag));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        m_group->addButton(button, tag);
        m_buttons.append(button);
    }
    m_buttons.first()->setChecked(true);
    connect(m_group, &QButtonGroup::idClicked, this, &HighlightPanel::Choose);
}

QAbstractButton* HighlightPanel::Button(int tag) const
{
    return m_buttons.value(tag);
}

int HighlightPanel::CheckedTag() const
{
    return m_group->checkedId();
}

void HighlightPanel::Choose(int tag)
{
    if (tag < 0 || tag >= HighlightRows::Count)
        tag = 0;
    m_buttons.at(tag)->setChecked(true);
    emit HighlightChosen(HighlightRows::Characters(tag));
}

void HighlightPanel::LayOut()
{
    const int margin = 2;
    const int inner = width() - 2 * margin;
    const int height = this->height() - 2 * margin;
    for (int tag = 0; tag < m_buttons.size(); ++tag) {
        const int left = margin + inner * tag / HighlightRows::Count;
        const int right = margin + inner * (tag + 1) / HighlightRows::Count;
        m_buttons.at(tag)->setGeometry(left, margin, right - left, height);
    }
}

void HighlightPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    LayOut();
}
