#include "forms/TfrmDefaultValue.h"

#include "forms/DialogFont.h"
#include "forms/HelpContext.h"
#include "forms/InfoTexts.h"

#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/MessageBoxes.h"
#include "store/DateTimeText.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int ItemHeight = 23;

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The picture's top-left 31 x 31 on white: custom marks may be transparent, and the list
// shows them as the board does.
QPixmap MarkSquare(const QPixmap& source, int side)
{
    QPixmap square(side, side);
    square.fill(Qt::white);
    if (!source.isNull()) {
        QPainter painter(&square);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(square.rect(), source, QRect(0, 0, 31, 31));
    }
    return square;
}

// A row of the status-mark list: the mark's picture in a square as high as the row, then
// its name at the row's top.
class StatusMarkItem final : public QStyledItemDelegate
{
public:
    StatusMarkItem(QList<QPixmap> pictures, QObject* parent)
        : QStyledItemDelegate(parent), m_pictures(std::move(pictures))
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        const QRect item = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(item, selected ? option.palette.highlight() : option.palette.base());
        const int side = item.height();
        painter->drawPixmap(item.left(), item.top(), MarkSquare(m_pictures.value(2 * index.row() + 4), side));
        painter->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
        painter->setFont(option.font);
        const QRect text(item.left() + side, item.top(), item.width() - side, item.height());
        painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          QLatin1Char(' ') + index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QSize base = QStyledItemDelegate::sizeHint(option, index);
        return {base.width() + ItemHeight, ItemHeight};
    }

private:
    QList<QPixmap> m_pictures;
};

bool IsBlank(const QString& text)
{
    // Blanks and control characters are the bytes <= 0x20 of the stored text, which are exactly
    // these code points.
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0x20; });
}

} // namespace

TfrmDefaultValue::TfrmDefaultValue(const ParmRec& board, QList<QPixmap> statusPictures, const Clock& clock,
                                   MessageBoxes& boxes, const TVurnaDefaultValue& initial, QWidget* parent)
    : QDialog(parent), m_clock(clock), m_boxes(boxes), m_result(initial)
{
    BuildWindow(board, statusPictures);

    m_cmbReturnTime->setEditText(Cp932::toUnicode(initial.ReturnTime));
    // A mark the board no longer offers falls back to the first, which is also what a file
    // without one gives.
    const bool offered = initial.StatusMark >= 0 && initial.StatusMark < m_cmbStatus->count();
    m_cmbStatus->setCurrentIndex(offered ? initial.StatusMark : 0);
    QString locate = Cp932::toUnicode(initial.Locate);
    locate.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_memoLocate->setPlainText(locate);
}

void TfrmDefaultValue::BuildWindow(const ParmRec& board, const QList<QPixmap>& statusPictures)
{
    setObjectName(QStringLiteral("frmDefaultValue"));
    setWindowTitle(QStringLiteral("Vurnaboard - デフォルト値 -"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setFixedSize(441, 309);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);

    auto* top = new QHBoxLayout;
    layout->addLayout(top);

    auto* returnGroup = new QGroupBox(QStringLiteral(" 戻り予定時間 "), this);
    auto* returnRow = new QHBoxLayout(returnGroup);
    m_cmbReturnTime = named(new QComboBox(returnGroup), "cmbReturnTime");
    m_cmbReturnTime->setEditable(true);
    m_cmbReturnTime->setInsertPolicy(QComboBox::NoInsert);
    m_cmbReturnTime->lineEdit()->setMaxLength(5);
    m_cmbReturnTime->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9:]*")), m_cmbReturnTime));
    m_cmbReturnTime->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_cmbReturnTime->lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_cmbReturnTime->setMinimumHeight(ItemHeight + 6);
    for (const QByteArray& time : board.TimeTable)
        m_cmbReturnTime->addItem(Cp932::toUnicode(time));
    returnRow->addWidget(m_cmbReturnTime);
    top->addWidget(returnGroup, 2);

    auto* statusGroup = new QGroupBox(QStringLiteral(" 状態マーク "), this);
    auto* statusRow = new QHBoxLayout(statusGroup);
    m_cmbStatus = named(new QComboBox(statusGroup), "cmbStatus");
    m_cmbStatus->setItemDelegate(new StatusMarkItem(statusPictures, m_cmbStatus));
    m_cmbStatus->setIconSize(QSize(ItemHeight, ItemHeight));
    m_cmbStatus->setMinimumHeight(ItemHeight + 6);
    for (int i = 0; i < board.MarkCount(); ++i) {
        const int entry = 2 * i + 4;
        m_cmbStatus->addItem(QIcon(MarkSquare(statusPictures.value(entry), ItemHeight)),
                             Cp932::toUnicode(board.StatusTable.value(entry).Name));
    }
    statusRow->addWidget(m_cmbStatus);
    top->addWidget(statusGroup, 3);

    auto* locateGroup = new QGroupBox(QStringLiteral(" 不在理由・出張先 "), this);
    auto* locateRow = new QHBoxLayout(locateGroup);
    m_memoLocate = named(new QPlainTextEdit(locateGroup), "memoLocate");
    m_memoLocate->setAttribute(Qt::WA_InputMethodEnabled, true);
    m_memoLocate->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memoLocate->setTabChangesFocus(true);
    locateRow->addWidget(m_memoLocate);
    layout->addWidget(locateGroup, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_btnOK = named(new QPushButton(QStringLiteral("設定"), this), "btnOK");
    m_btnCancel = named(new QPushButton(QStringLiteral("キャンセル"), this), "btnCancel");
    for (QPushButton* b : {m_btnOK, m_btnCancel}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);

    // The defaults are part of the preferences and explained there; the buttons follow the window.
    SetHelpContext(this, HelpTopic::Preferences);
    for (QWidget* part : {static_cast<QWidget*>(locateGroup), static_cast<QWidget*>(m_cmbReturnTime),
                          static_cast<QWidget*>(m_cmbStatus)})
        SetHelpContext(part, HelpTopic::Preferences);

    connect(m_btnOK, &QPushButton::clicked, this, &TfrmDefaultValue::btnOKClick);
    connect(m_btnCancel, &QPushButton::clicked, this, &TfrmDefaultValue::btnCancelClick);
}

void TfrmDefaultValue::btnOKClick()
{
    const QString timeText = m_cmbReturnTime->currentText();
    const Cp932::Encoded time = Cp932::fromUnicode(timeText);
    if (!timeText.isEmpty() && (!time.ok || !DateTimeText::IsDateTimeText(time.bytes, m_clock.now().date()))) {
        Refuse(QStringLiteral("時間の指定が間違っています。"));
        m_cmbReturnTime->setFocus();
        return;
    }

    QString locateText = m_memoLocate->toPlainText();
    if (IsBlank(locateText)) {
        Refuse(QStringLiteral("不在理由・出張先が入力されていません。"));
        m_memoLocate->setFocus();
        return;
    }
    // Text the file cannot give back as typed: characters without a CP932 form, and a line ending
    // in '"', where a reader would end the value.
    if (const std::optional<QString> refusal = InfoTexts::RefusalForReason(locateText)) {
        Refuse(*refusal);
        m_memoLocate->setFocus();
        return;
    }
    // The board and the defaults file keep Windows line breaks.
    locateText.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const Cp932::Encoded locate = Cp932::fromUnicode(locateText);

    m_result.ReturnTime = time.bytes;
    m_result.StatusMark = std::max(0, m_cmbStatus->currentIndex());
    m_result.Locate = locate.bytes;
    m_ok = true;
    accept();
}

void TfrmDefaultValue::btnCancelClick()
{
    m_ok = false;
    reject();
}

void TfrmDefaultValue::Refuse(const QString& text)
{
    m_boxes.show(text, Mb::Ok | Mb::IconStop);
}
