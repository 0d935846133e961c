// The absence panel's controls and what each of them sets off.

#include "forms/HelpContext.h"
#include "forms/InfoControls.h"
#include "forms/InfoHuzaiPanel.h"
#include "forms/ReturnDatePopup.h"
#include "forms/StatusMarkDelegate.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using namespace InfoControls;

void InfoHuzaiPanel::Build()
{
    setObjectName(QStringLiteral("pnlHuzai"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    // The return date and the mark side by side, so the reason and its history keep the height.
    auto* top = new QHBoxLayout;
    layout->addLayout(top);

    auto* returnGroup = new QGroupBox(QStringLiteral(" 戻り予定日時 "), this);
    auto* returnGrid = new QGridLayout(returnGroup);
    m_rbtnDateTime = named(new QRadioButton(QStringLiteral("　"), returnGroup), "rbtnDateTime");
    m_edtMonth = readOnlyField(returnGroup, "edtMonth");
    m_edtMonth->setToolTip(QStringLiteral("戻り日付を設定します。"));
    m_edtMonth->setCursor(Qt::PointingHandCursor);
    m_edtMonth->installEventFilter(this);
    m_cmbReturnTime = named(new QComboBox(returnGroup), "cmbReturnTime");
    m_cmbReturnTime->setEditable(true);
    m_cmbReturnTime->setInsertPolicy(QComboBox::NoInsert);
    m_cmbReturnTime->lineEdit()->setMaxLength(5);
    m_cmbReturnTime->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_cmbReturnTime->lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_cmbReturnTime->lineEdit()->installEventFilter(this);
    m_cmbReturnTime->setToolTip(QStringLiteral("戻り時間を設定します。省略可能です。"));
    m_rbtnNoReturnDate =
        named(new QRadioButton(QStringLiteral("戻り日付不明、または無期限"), returnGroup), "rbtnNoReturnDate");
    m_rbtnNoReturnDate->setToolTip(QStringLiteral("戻り時間がわからない時に選択します。"));
    returnGrid->addWidget(m_rbtnDateTime, 0, 0);
    returnGrid->addWidget(m_edtMonth, 0, 1);
    returnGrid->addWidget(m_cmbReturnTime, 0, 2);
    returnGrid->addWidget(m_rbtnNoReturnDate, 1, 0, 1, 3);
    returnGrid->setColumnStretch(1, 2);
    returnGrid->setColumnStretch(2, 1);
    top->addWidget(returnGroup, 3);

    auto* statusGroup = new QGroupBox(QStringLiteral(" 状態マーク "), this);
    auto* statusRow = new QHBoxLayout(statusGroup);
    m_cmbStatus = named(new QComboBox(statusGroup), "cmbStatus");
    m_cmbStatus->setToolTip(QStringLiteral("不在状態で表示される状態マークを選びます。"));
    m_cmbStatus->setItemDelegate(new StatusMarkDelegate(m_context.statusPictures, m_cmbStatus));
    m_cmbStatus->setMinimumHeight(StatusMarkDelegate::ItemHeight + 6);
    m_cmbStatus->setIconSize(QSize(31, StatusMarkDelegate::ItemHeight));
    statusRow->addWidget(m_cmbStatus);
    top->addWidget(statusGroup, 2, Qt::AlignTop);

    auto* reasonGroup = new QGroupBox(QStringLiteral(" 不在理由・出張先 "), this);
    auto* reasonGrid = new QGridLayout(reasonGroup);
    m_memHuzai = named(new QPlainTextEdit(reasonGroup), "memHuzai");
    m_memHuzai->setToolTip(QStringLiteral("不在理由を書き込みます。"));
    m_memHuzai->setAttribute(Qt::WA_InputMethodEnabled, true);
    m_lstHistory = named(new QListWidget(reasonGroup), "lstHistory");
    m_lstHistory->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_btnCopyFromHistory = button(reasonGroup, "btnCopyFromHistory", QStringLiteral("追加"),
                                  QStringLiteral("履歴を左のテキストエリアに追加します。"));
    m_btnDeleteHistory =
        button(reasonGroup, "btnDeleteHistory", QStringLiteral("削除"), QStringLiteral("選択した履歴を削除します。"));
    m_btnCopyFromHistory->setEnabled(false);
    m_btnDeleteHistory->setEnabled(false);
    reasonGrid->addWidget(m_memHuzai, 0, 0, 3, 1);
    reasonGrid->addWidget(new QLabel(QStringLiteral("履歴"), reasonGroup), 0, 1);
    reasonGrid->addWidget(m_lstHistory, 1, 1);
    auto* historyButtons = new QHBoxLayout;
    historyButtons->addWidget(m_btnCopyFromHistory);
    historyButtons->addWidget(m_btnDeleteHistory);
    reasonGrid->addLayout(historyButtons, 2, 1);
    reasonGrid->setColumnStretch(0, 3);
    reasonGrid->setColumnStretch(1, 2);
    layout->addWidget(reasonGroup, 1);

    m_btnHuzaiSet =
        button(this, "btnHuzaiSet", QStringLiteral("設定"), QStringLiteral("設定内容を確定し、掲示板に戻ります。"));
    m_btnHuzaiReset =
        button(this, "btnHuzaiReset", QStringLiteral("解除"), QStringLiteral("不在状態を解除し、掲示板に戻ります。"));
    m_btnHuzaiCancel = button(this, "btnHuzaiCancel", QStringLiteral("戻る"),
                              QStringLiteral("何も修正を加えずに、掲示板に戻ります。"));
    layout->addLayout(buttonRow({m_btnHuzaiSet, m_btnHuzaiReset, m_btnHuzaiCancel}));
    SetHelpContext(this, HelpTopic::Absence);

    m_pnlReturnDate = new ReturnDatePopup(m_context.clock, parentWidget());
}

void InfoHuzaiPanel::Connect()
{
    // Only digits and ':' enter the return time, typed or pasted.
    m_cmbReturnTime->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9:]*")), m_cmbReturnTime));
    connect(m_pnlReturnDate, &ReturnDatePopup::DatePicked, this, &InfoHuzaiPanel::CalendarPicked);
    connect(m_pnlReturnDate, &ReturnDatePopup::DateMoved, this, [this](const QDate& date) {
        SetDate(date);
        UpdateHistoryButtons();
    });
    connect(m_btnDeleteHistory, &QPushButton::clicked, this, &InfoHuzaiPanel::DeleteHistoryClick);
    connect(m_btnCopyFromHistory, &QPushButton::clicked, this, &InfoHuzaiPanel::CopyFromHistory);
    connect(m_lstHistory, &QListWidget::itemDoubleClicked, this, &InfoHuzaiPanel::CopyFromHistory);
    connect(m_lstHistory, &QListWidget::itemSelectionChanged, this, &InfoHuzaiPanel::UpdateHistoryButtons);
    connect(m_btnHuzaiSet, &QPushButton::clicked, this, &InfoHuzaiPanel::HuzaiSetClick);
    connect(m_btnHuzaiReset, &QPushButton::clicked, this, &InfoHuzaiPanel::HuzaiResetClick);
    connect(m_btnHuzaiCancel, &QPushButton::clicked, this, &InfoHuzaiPanel::CloseRequested);
}
