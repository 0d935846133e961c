#include "forms/TfrmCustomGroup.h"

#include "board/BoardModel.h"
#include "board/EFileIOError.h"
#include "board/UserLoader.h"
#include "forms/DialogFont.h"
#include "forms/HelpContext.h"
#include "forms/ShadowLabel.h"
#include "platform/Cp932.h"
#include "platform/SjisText.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <optional>

namespace {

constexpr int GroupRole = Qt::UserRole;
constexpr int MemberRole = Qt::UserRole + 1; // -1 on a group node
constexpr QSize PictureSize(16, 16);

QFont JapaneseFont(int pixels, bool bold)
{
    return DialogFont(pixels, bold);
}

// Selected and plain look alike, so a picked member still shows whether it is in.
QIcon SteadyIcon(const QPixmap& pixmap)
{
    QIcon icon;
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Selected);
    icon.addPixmap(pixmap, QIcon::Active);
    return icon;
}

QPixmap ButtonGlyph(bool ok)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ok ? QColor(0, 160, 0) : QColor(200, 0, 0), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (ok) {
        painter.drawPolyline(QPolygon({QPoint(5, 17), QPoint(13, 25), QPoint(27, 7)}));
    } else {
        painter.drawLine(8, 8, 24, 24);
        painter.drawLine(24, 8, 8, 24);
    }
    return pixmap;
}

template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

TfrmCustomGroup::TfrmCustomGroup(ParmRecList& boards, int shownBoard, const BoardModel& board, QList<QPixmap> pictures,
                                 QWidget* parent)
    : QDialog(parent), m_boards(boards), m_board(board), m_boardOnShow(shownBoard),
      m_pictures(pictures.size() >= 3 ? std::move(pictures) : DrawnPictures()), m_session(boards)
{
    BuildWindow();
    {
        const QSignalBlocker quiet(m_cmbShareDir);
        for (const ParmRec& parm : m_boards)
            m_cmbShareDir->addItem(Cp932::toUnicode(parm.BoardName));
        m_cmbShareDir->setCurrentIndex(shownBoard);
    }
    ShowBoard(m_cmbShareDir->currentIndex());
    // Every change of board, by mouse, keyboard or wheel, passes here; the session takes the
    // tree on show into its list before it shows the next one.
    connect(m_cmbShareDir, &QComboBox::currentIndexChanged, this, &TfrmCustomGroup::ShowBoard);
}

QList<QPixmap> TfrmCustomGroup::DrawnPictures()
{
    const auto canvas = [](const std::function<void(QPainter&)>& draw) {
        QPixmap pixmap(PictureSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
        return pixmap;
    };
    const auto box = [](QPainter& p, const QColor& fill) {
        p.setPen(QPen(QColor(64, 64, 64), 1));
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    };
    const auto tick = [](QPainter& p, const QColor& colour, QPointF at, qreal scale) {
        p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(
            QPolygonF({at + QPointF(0, 3) * scale, at + QPointF(2.5, 5.5) * scale, at + QPointF(7, 0) * scale}));
    };
    QList<QPixmap> pictures;
    // A group: two stacked boxes, the front one ticked, for "all at once".
    pictures.append(canvas([&](QPainter& p) {
        p.setPen(QPen(QColor(64, 64, 64), 1));
        p.setBrush(QColor(255, 220, 120));
        p.drawRect(QRectF(4.5, 0.5, 11, 11));
        p.setBrush(QColor(255, 200, 0));
        p.drawRect(QRectF(0.5, 4.5, 11, 11));
        tick(p, QColor(0, 0, 0), QPointF(2.5, 7), 1.0);
    }));
    pictures.append(canvas([&](QPainter& p) { box(p, Qt::white); }));
    pictures.append(canvas([&](QPainter& p) {
        box(p, QColor(0, 170, 0));
        tick(p, Qt::white, QPointF(4, 4.5), 1.0);
    }));
    return pictures;
}

void TfrmCustomGroup::BuildWindow()
{
    setObjectName(QStringLiteral("frmCustomGroup"));
    setWindowTitle(QStringLiteral("Vurnaboard　- カスタムグループ設定 -"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFixedSize(483, 396);
    SetHelpContext(this, HelpTopic::CustomGroup);
    setFont(JapaneseFont(12, false));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0, 128, 128));
    setPalette(palette);
    setAutoFillBackground(true);

    m_cmbShareDir = Named(new QComboBox(this), "cmbShareDir");
    m_cmbShareDir->setEditable(false);
    m_cmbShareDir->setFont(JapaneseFont(19, true));
    m_cmbShareDir->setGeometry(8, 8, 320, 30);

    auto* box = Named(new QFrame(this), "grpCustomGroup");
    box->setFrameShape(QFrame::Box);
    box->setFrameShadow(QFrame::Sunken);
    box->setGeometry(8, 46, 467, 270);
    auto* line =
        Named(new ShadowLabel(QStringLiteral("カスタムグループを利用すると、好きな人達だけを表示できます。"), box),
              "lblCaption");
    line->setFont(JapaneseFont(13, true));
    line->setGeometry(17, 7, 433, 20);

    m_treCustomGroup = Named(new QTreeWidget(box), "treCustomGroup");
    m_treCustomGroup->setGeometry(17, 30, 433, 233);
    m_treCustomGroup->setFont(JapaneseFont(15, true));
    m_treCustomGroup->setHeaderHidden(true);
    m_treCustomGroup->setColumnCount(1);
    m_treCustomGroup->setRootIsDecorated(false);
    m_treCustomGroup->setItemsExpandable(false);
    m_treCustomGroup->setExpandsOnDoubleClick(false);
    m_treCustomGroup->setIndentation(32);
    m_treCustomGroup->setIconSize(PictureSize);
    m_treCustomGroup->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_treCustomGroup->viewport()->setCursor(Qt::PointingHandCursor);
    connect(m_treCustomGroup, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { NodeClicked(item); });
    // Whatever asks for a collapse, the member must still see every group whole.
    connect(m_treCustomGroup, &QTreeWidget::itemCollapsed, m_treCustomGroup, &QTreeWidget::expandItem,
            Qt::QueuedConnection);

    const QStringList legend{QStringLiteral("まとめて選択／解除"), QStringLiteral("仲間外れ"), QStringLiteral("仲間")};
    const int order[] = {GroupPicture, InPicture, OutPicture};
    int y = 326;
    for (const int picture : order) {
        auto* image = new QLabel(this);
        image->setPixmap(m_pictures.at(picture));
        image->setGeometry(10, y + 2, PictureSize.width(), PictureSize.height());
        auto* text = new ShadowLabel(legend.at(picture), this, Qt::white);
        text->setFont(JapaneseFont(12, true));
        text->setGeometry(32, y, 170, 20);
        y += 22;
    }

    const auto button = [this](const char* name, const QString& caption, bool ok, QRect geometry) {
        auto* b = Named(new QToolButton(this), name);
        b->setText(caption);
        b->setIcon(QIcon(ButtonGlyph(ok)));
        b->setIconSize(QSize(32, 32));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setFont(JapaneseFont(13, true));
        b->setGeometry(geometry);
        return b;
    };
    auto* btnOK = button("btnOK", QStringLiteral("設定"), true, QRect(204, 322, 142, 70));
    auto* btnCancel = button("btnCancel", QStringLiteral("キャンセル"), false, QRect(350, 322, 127, 70));
    connect(btnOK, &QToolButton::clicked, this, &TfrmCustomGroup::accept);
    connect(btnCancel, &QToolButton::clicked, this, &TfrmCustomGroup::reject);
}

void TfrmCustomGroup::ShowBoard(int index)
{
    if (index < 0 || index >= m_boards.size())
        return;
    std::optional<TVurnaDataArray> records;
    if (index == m_boardOnShow) {
        records.emplace();
        m_board.CopyMembers(*records);
    } else if (!SjisText::trim(m_boards.at(index).ShareDir).isEmpty()) {
        // The board window's order: the site's priority unless the member sorts by reading,
        // which shows as the priority being off on a board that has one.
        const bool userPriority = m_board.SortPriorityOn() || m_boardOnShow < 0 || m_boardOnShow >= m_boards.size() ||
                                  m_boards.at(m_boardOnShow).SortPriority == 0;
        const bool sortPriorityOn = userPriority && m_boards.at(index).SortPriority != 0;
        // The loader lets events run while it retries; another pick meanwhile would interleave.
        m_cmbShareDir->setEnabled(false);
        try {
            TVurnaDataArray loaded(1);
            LoadUserFiles(m_boards.at(index).ShareDir, loaded, AllMembers, sortPriorityOn);
            records = std::move(loaded);
        } catch (const EFileIOError&) {
            // An empty tree, and the board's list is left as it was.
        }
        m_cmbShareDir->setEnabled(true);
    }
    m_session.Show(index, records);
    FillTree();
}

void TfrmCustomGroup::FillTree()
{
    m_treCustomGroup->clear();
    const CustomGroupLists::Tree& tree = m_session.ShownTree();
    for (qsizetype g = 0; g < tree.size(); ++g) {
        auto* groupItem = new QTreeWidgetItem(m_treCustomGroup, {Cp932::toUnicode(tree.at(g).Name)});
        groupItem->setData(0, GroupRole, int(g));
        groupItem->setData(0, MemberRole, -1);
        for (qsizetype m = 0; m < tree.at(g).Members.size(); ++m) {
            auto* memberItem = new QTreeWidgetItem(groupItem, {Cp932::toUnicode(tree.at(g).Members.at(m).Text)});
            memberItem->setData(0, GroupRole, int(g));
            memberItem->setData(0, MemberRole, int(m));
        }
        RefreshPictures(groupItem);
    }
    m_treCustomGroup->expandAll();
    if (m_treCustomGroup->topLevelItemCount() > 0)
        m_treCustomGroup->setCurrentItem(m_treCustomGroup->topLevelItem(0));
}

void TfrmCustomGroup::RefreshPictures(QTreeWidgetItem* item)
{
    const CustomGroupLists::Group& group = m_session.ShownTree().at(item->data(0, GroupRole).toInt());
    const int member = item->data(0, MemberRole).toInt();
    if (member < 0) {
        item->setIcon(0, SteadyIcon(m_pictures.at(GroupPicture)));
        for (int i = 0; i < item->childCount(); ++i)
            RefreshPictures(item->child(i));
        return;
    }
    item->setIcon(0, SteadyIcon(m_pictures.at(group.Members.at(member).In ? InPicture : OutPicture)));
}

void TfrmCustomGroup::NodeClicked(QTreeWidgetItem* item)
{
    if (item == nullptr)
        return;
    CustomGroupLists::Group& group = m_session.ShownTree()[item->data(0, GroupRole).toInt()];
    const int member = item->data(0, MemberRole).toInt();
    if (member < 0) {
        CustomGroupLists::ClickGroup(group);
    } else {
        CustomGroupLists::Member& m = group.Members[member];
        m.In = !m.In;
    }
    RefreshPictures(item);
}

void TfrmCustomGroup::accept()
{
    m_session.TakeShown();
    m_session.ApplyTo(m_boards);
    QDialog::accept();
}
