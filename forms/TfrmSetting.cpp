#include "forms/TfrmSetting.h"

#include "forms/DialogFont.h"
#include "forms/HelpContext.h"
#include "forms/SettingRules.h"

#include "platform/Cp932.h"
#include "platform/FolderChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/SjisText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

namespace {

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* caption(QWidget* parent, const char* name, const QString& text)
{
    auto* label = named(new QLabel(text, parent), name);
    label->setWordWrap(true);
    return label;
}

QCheckBox* option(QWidget* parent, const char* name, const QString& text, const QString& hint)
{
    auto* box = named(new QCheckBox(text, parent), name);
    box->setToolTip(hint);
    return box;
}

QComboBox* editableList(QWidget* parent, const char* name, const QString& hint)
{
    auto* list = named(new QComboBox(parent), name);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    // Completion would turn "yama" into an existing member's name behind the user's back.
    list->setCompleter(nullptr);
    list->setToolTip(hint);
    return list;
}

QString WithSeparator(const QString& dir)
{
    if (dir.isEmpty() || dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\')))
        return dir;
    return dir + QLatin1Char('/');
}

QByteArray Bytes(const QString& checkedText)
{
    return Cp932::fromUnicode(checkedText).bytes;
}

} // namespace

TfrmSetting::TfrmSetting(SettingEnvironment env, const ParmRec& ownBoard, const TVurnaDataRec& own,
                         const TVurnaDataArray& members, QWidget* parent)
    : QDialog(parent), m_env(std::move(env)), m_own(own), m_members(members)
{
    BuildWindow();
    if (m_members.isEmpty())
        m_members.append(TVurnaDataRec{});

    cmbOwnerFileNameSet(m_members);
    m_edtShareDir->setText(Cp932::toUnicode(ownBoard.ShareDir));
    const QByteArray shareDir = ownBoard.ShareDir;
    m_chkAutoMinimum->setChecked(ownBoard.AutoSmall);
    m_chkCreateShortcut->setChecked(m_env.shortcutPresent && m_env.shortcutPresent());
    m_chkAutoDengonOpen->setChecked(ownBoard.AutoDengonOpen);
    // setChecked emits no clicked(), so the default values dialog stays shut here.
    m_chkDefaultValue->setChecked(own.DefaultOnExit == 1);
    SetSortPriority(ownBoard.SortPriority);
    SetOwnerStatusToField(own);
    // Last: the window's events run while the share is looked at, and may replace what the
    // references above name.
    m_btnOK->setEnabled(SettingRules::IsExistingDirectory(shareDir));
}

void TfrmSetting::BuildWindow()
{
    setObjectName(QStringLiteral("frmSetting"));
    setWindowTitle(QStringLiteral("Vurnaboard - 環境設定 -"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setFixedSize(632, 330);
    SetHelpContext(this, HelpTopic::Preferences);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);

    auto* shareGroup = named(new QGroupBox(QStringLiteral(" 共有ディレクトリ "), this), "grpShareDir");
    auto* shareLayout = new QVBoxLayout(shareGroup);
    shareLayout->setContentsMargins(8, 4, 8, 6);
    shareLayout->setSpacing(4);
    shareLayout->addWidget(
        caption(shareGroup, "lblCommonDir",
                QStringLiteral("Vurna達が使用する共有ディレクトリを指定します。（Vurnaの管理者に聞いて下さい。）")));
    auto* shareRow = new QHBoxLayout;
    m_edtShareDir = named(new QLineEdit(shareGroup), "edtShareDir");
    m_edtShareDir->setToolTip(QStringLiteral("共有ディレクトリは管理者が決めます。管理者に聞いて下さい。"));
    m_btnSelectShareDir = named(new QPushButton(QStringLiteral("選択"), shareGroup), "btnSelectShareDir");
    m_btnSelectShareDir->setAutoDefault(false);
    m_btnSelectShareDir->setFixedWidth(75);
    shareRow->addWidget(m_edtShareDir, 1);
    shareRow->addWidget(m_btnSelectShareDir);
    shareLayout->addLayout(shareRow);
    layout->addWidget(shareGroup);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(8);
    layout->addLayout(middle, 1);

    auto* ownerGroup = named(new QGroupBox(QStringLiteral(" 使用者情報 "), this), "grpOwner");
    auto* ownerLayout = new QVBoxLayout(ownerGroup);
    ownerLayout->setContentsMargins(8, 4, 8, 6);
    ownerLayout->setSpacing(4);
    ownerLayout->addWidget(caption(ownerGroup, "lblOwner", QStringLiteral("使用者に関する情報を入力します。")));
    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(6);
    fields->setVerticalSpacing(3);
    ownerLayout->addLayout(fields);
    ownerLayout->addStretch(1);

    m_cmbOwnerFileName = editableList(
        ownerGroup, "cmbOwnerFileName",
        QStringLiteral("オーナー情報ファイル名を入力します。既に存在する場合は、リストボックスで選択して下さい。"));
    const auto line = [&](const char* name, const QString& hint) {
        auto* edit = named(new QLineEdit(ownerGroup), name);
        edit->setToolTip(hint);
        return edit;
    };
    m_edtOwnerFurigana =
        line("edtOwnerFurigana", QStringLiteral("オーナーの名前のフリガナを入力します。ソートに使用します。"));
    m_edtOwnerName = line("edtOwnerName", QStringLiteral("オーナーの名前を入力します。全角文字を推奨します。"));
    m_cmbOwnerGroup = editableList(ownerGroup, "cmbOwnerGroup",
                                   QStringLiteral("所属するグループ名を入力します。全角文字を推奨します。"));
    m_edtOwnerWarningCall = line("edtOwnerWarningCall", QStringLiteral("緊急連絡先を入力します。省略可能です。"));
    m_edtOwnerInnerLine = line("edtOwnerInnerLine", QStringLiteral("内線番号や備考を入力します。省略可能です。"));
    m_cmbSortLevel = editableList(ownerGroup, "cmbSortLevel",
                                  QStringLiteral("Vurnaの管理者が決めたルールに従った設定を行ってください。"));
    for (int level = 1; level <= 9; ++level)
        m_cmbSortLevel->addItem(QString::number(level));
    m_cmbSortLevel->setFixedWidth(60);

    const QList<std::pair<QString, QWidget*>> rows = {
        {QStringLiteral("ファイル名"), m_cmbOwnerFileName},
        {QStringLiteral("フリガナ"), m_edtOwnerFurigana},
        {QStringLiteral("名前"), m_edtOwnerName},
        {QStringLiteral("グループ"), m_cmbOwnerGroup},
        {QStringLiteral("緊急連絡先"), m_edtOwnerWarningCall},
        {QStringLiteral("内線・備考"), m_edtOwnerInnerLine},
    };
    for (int row = 0; row < rows.size(); ++row) {
        auto* label = new QLabel(rows[row].first, ownerGroup);
        label->setBuddy(rows[row].second);
        fields->addWidget(label, row, 0);
        fields->addWidget(rows[row].second, row, 1, 1, 2);
    }
    m_lblSortPriority = named(new QLabel(QStringLiteral("表示の優先順位"), ownerGroup), "lblSortPriority");
    m_lblSortPriority->setBuddy(m_cmbSortLevel);
    fields->addWidget(m_lblSortPriority, int(rows.size()), 0);
    fields->addWidget(m_cmbSortLevel, int(rows.size()), 1, Qt::AlignLeft);
    fields->setColumnStretch(2, 1);
    middle->addWidget(ownerGroup, 3);

    auto* right = new QVBoxLayout;
    middle->addLayout(right, 2);
    auto* optionGroup = named(new QGroupBox(QStringLiteral(" オプション "), this), "grpOption");
    auto* optionLayout = new QVBoxLayout(optionGroup);
    optionLayout->setContentsMargins(8, 4, 8, 6);
    optionLayout->setSpacing(6);
    optionLayout->addWidget(caption(optionGroup, "lblOption", QStringLiteral("使用するオプションを選択します。")));
    m_chkAutoMinimum = option(optionGroup, "chkAutoMinimum", QStringLiteral("起動時に自動的に最小化する。"),
                              QStringLiteral("Vurnaが起動した時に自動的に最小化します。"));
    m_chkCreateShortcut = option(optionGroup, "chkCreateShortcut", QStringLiteral("自動的に起動するようにする。"),
                                 QStringLiteral("スタートアップフォルダにショートカットを作成します。"));
    m_chkDefaultValue = option(optionGroup, "chkDefaultValue", QStringLiteral("終了時にデフォルト値をセットする。"),
                               QStringLiteral("何も予定をいれず終了するときに、自動的に不在状態にします。"));
    m_chkAutoDengonOpen = option(optionGroup, "chkAutoDengonOpen", QStringLiteral("伝言着信時に自動的に画面を開く。"),
                                 QStringLiteral("新着伝言の着信時に自動的に伝言画面を開きます。"));
    for (QCheckBox* box : {m_chkAutoMinimum, m_chkCreateShortcut, m_chkDefaultValue, m_chkAutoDengonOpen})
        optionLayout->addWidget(box);
    optionLayout->addStretch(1);
    right->addWidget(optionGroup, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_btnOK = named(new QPushButton(QStringLiteral("設定"), this), "btnOK");
    m_btnOK->setToolTip(QStringLiteral("設定を保存して戻ります。"));
    m_btnCancel = named(new QPushButton(QStringLiteral("キャンセル"), this), "btnCancel");
    m_btnCancel->setToolTip(QStringLiteral("設定を保存せずに戻ります。変更は無効になります。"));
    for (QPushButton* b : {m_btnOK, m_btnCancel}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
        buttons->addWidget(b);
    }
    right->addLayout(buttons);

    for (QWidget* field : {static_cast<QWidget*>(m_cmbOwnerFileName), static_cast<QWidget*>(m_edtOwnerFurigana),
                           static_cast<QWidget*>(m_edtOwnerName), static_cast<QWidget*>(m_cmbOwnerGroup),
                           static_cast<QWidget*>(m_edtShareDir)})
        field->installEventFilter(this);

    connect(m_btnSelectShareDir, &QPushButton::clicked, this, &TfrmSetting::btnSelectShareDirClick);
    connect(m_edtShareDir, &QLineEdit::returnPressed, this, &TfrmSetting::edtShareDirExit);
    connect(m_cmbOwnerFileName, &QComboBox::activated, this, &TfrmSetting::cmbOwnerFileNameClick);
    connect(m_chkDefaultValue, &QCheckBox::clicked, this, &TfrmSetting::chkDefaultValueClick);
    connect(m_btnOK, &QPushButton::clicked, this, &TfrmSetting::btnOKClick);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TfrmSetting::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut || event->type() == QEvent::FocusIn) {
        // A drop-down opening or another window coming up is no leaving of the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool moved = reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
        auto* field = static_cast<QWidget*>(watched);
        if (moved && event->type() == QEvent::FocusOut) {
            if (field == m_edtShareDir)
                edtShareDirExit();
            else
                edtExit(field);
        } else if (moved && field == m_cmbOwnerGroup) {
            edtExit(field);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSetting::cmbOwnerFileNameSet(const TVurnaDataArray& members)
{
    m_cmbOwnerFileName->clear();
    for (qsizetype i = 1; i < members.size(); ++i)
        m_cmbOwnerFileName->addItem(Cp932::toUnicode(SjisText::fileNamePart(members.at(i).FileName)));
    SetOwnerStatusToField(TVurnaDataRec{});
}

void TfrmSetting::SetOwnerStatusToField(const TVurnaDataRec& record)
{
    SetGroupList();
    m_cmbOwnerFileName->setEditText(Cp932::toUnicode(SjisText::fileNamePart(record.FileName)));
    m_edtOwnerFurigana->setText(Cp932::toUnicode(record.Furigana));
    m_edtOwnerName->setText(Cp932::toUnicode(record.Name));
    m_cmbOwnerGroup->setEditText(Cp932::toUnicode(record.Group));
    m_edtOwnerWarningCall->setText(Cp932::toUnicode(record.WarningCall));
    m_edtOwnerInnerLine->setText(Cp932::toUnicode(record.InnerLine));
    m_cmbSortLevel->setEditText(Cp932::toUnicode(record.SortPrefix));
}

void TfrmSetting::SetGroupList()
{
    m_cmbOwnerGroup->clear();
    for (const QByteArray& group : SettingRules::GroupList(m_members))
        m_cmbOwnerGroup->addItem(Cp932::toUnicode(group));
}

void TfrmSetting::SetSortPriority(qint32 length)
{
    const bool used = length > 0;
    m_lblSortPriority->setVisible(used);
    m_cmbSortLevel->setVisible(used);
    m_cmbSortLevel->lineEdit()->setMaxLength(used ? length : 32767);
}

void TfrmSetting::TakeDirectory(const QByteArray& dir)
{
    QString error;
    m_members = m_env.loadMembers ? m_env.loadMembers(dir, &error) : TVurnaDataArray{};
    if (m_members.isEmpty())
        m_members.append(TVurnaDataRec{});
    cmbOwnerFileNameSet(m_members);
    m_btnOK->setEnabled(true);
    SetSortPriority(m_env.readSiteConfig ? m_env.readSiteConfig(dir).SortPriority : 0);
    if (!error.isEmpty())
        m_env.boxes.show(error, Mb::Ok | Mb::IconStop);
}

void TfrmSetting::cmbOwnerFileNameClick(int index)
{
    if (index >= 0 && index + 1 < m_members.size())
        SetOwnerStatusToField(m_members.at(index + 1));
}

void TfrmSetting::edtExit(QWidget* field)
{
    if (field == m_edtOwnerFurigana)
        m_edtOwnerFurigana->setText(SettingRules::FuriganaOnExit(m_edtOwnerFurigana->text()));
    else if (field == m_edtOwnerName)
        m_edtOwnerName->setText(SettingRules::Trimmed(m_edtOwnerName->text()));
    else if (field == m_cmbOwnerGroup)
        m_cmbOwnerGroup->setEditText(SettingRules::GroupOnExit(m_cmbOwnerGroup->currentText()));
    else if (field == m_cmbOwnerFileName)
        m_cmbOwnerFileName->setEditText(SettingRules::Trimmed(m_cmbOwnerFileName->currentText()));
}

void TfrmSetting::btnSelectShareDirClick()
{
    // The chooser looks at its first folder on the window's thread: a share whose server does
    // not answer would stop the window with it, so it is tried off the window first.
    const QString typed = m_edtShareDir->text();
    const QString start = SettingRules::IsExistingDirectory(SettingRules::ShareDirFromText(typed)) ? typed : QString();
    const QString chosen = m_env.folders.chooseFolder(QStringLiteral("共有ディレクトリを選択して下さい。"), start);
    if (chosen.isEmpty())
        return;
    if (Refuse(SettingRules::UnmappableRefusal(QStringLiteral("共有ディレクトリ"), chosen), m_edtShareDir))
        return;
    m_edtShareDir->setText(WithSeparator(chosen));
    TakeDirectory(SettingRules::ShareDirFromText(chosen));
}

void TfrmSetting::edtShareDirExit()
{
    if (!m_edtShareDir->isModified())
        return;
    m_edtShareDir->setModified(false);
    const QByteArray dir = SettingRules::ShareDirFromText(m_edtShareDir->text());
    // Not to be confirmed while the look at the folder runs (a click on it arrives meanwhile).
    m_btnOK->setEnabled(false);
    if (SettingRules::IsExistingDirectory(dir)) {
        m_edtShareDir->setText(WithSeparator(SettingRules::Trimmed(m_edtShareDir->text())));
        TakeDirectory(dir);
        return;
    }
    m_members = TVurnaDataArray{TVurnaDataRec{}};
    cmbOwnerFileNameSet(m_members);
    m_btnOK->setEnabled(false);
    SetSortPriority(0);
}

void TfrmSetting::chkDefaultValueClick(bool checked)
{
    if (!checked)
        return;
    const TVurnaDefaultValue current = m_result.DefaultValue
                                           ? *m_result.DefaultValue
                                           : (m_env.readDefaults ? m_env.readDefaults() : TVurnaDefaultValue{});
    const std::optional<TVurnaDefaultValue> edited = m_env.editDefaults ? m_env.editDefaults(current) : std::nullopt;
    if (!edited) {
        m_chkDefaultValue->setChecked(false);
        return;
    }
    m_result.DefaultValue = edited;
}

bool TfrmSetting::Refuse(const std::optional<QString>& refusal, QWidget* field)
{
    if (!refusal)
        return false;
    m_env.boxes.show(*refusal, Mb::Ok | Mb::IconStop);
    field->setFocus();
    return true;
}

void TfrmSetting::btnOKClick()
{
    // A directory typed and confirmed with a click straight away has not been looked at yet.
    edtShareDirExit();
    if (!m_btnOK->isEnabled())
        return;
    if (Refuse(SettingRules::UnmappableRefusal(QStringLiteral("共有ディレクトリ"), m_edtShareDir->text()),
               m_edtShareDir))
        return;
    if (Refuse(SettingRules::FileNameRefusal(m_cmbOwnerFileName->currentText()), m_cmbOwnerFileName))
        return;
    for (QWidget* field : {static_cast<QWidget*>(m_cmbOwnerFileName), static_cast<QWidget*>(m_edtOwnerFurigana),
                           static_cast<QWidget*>(m_edtOwnerName), static_cast<QWidget*>(m_cmbOwnerGroup)})
        edtExit(field);

    const QList<std::tuple<QString, QString, QWidget*>> texts = {
        {QStringLiteral("フリガナ"), m_edtOwnerFurigana->text(), m_edtOwnerFurigana},
        {QStringLiteral("名前"), m_edtOwnerName->text(), m_edtOwnerName},
        {QStringLiteral("グループ"), m_cmbOwnerGroup->currentText(), m_cmbOwnerGroup},
        {QStringLiteral("緊急連絡先"), m_edtOwnerWarningCall->text(), m_edtOwnerWarningCall},
        {QStringLiteral("内線・備考"), m_edtOwnerInnerLine->text(), m_edtOwnerInnerLine},
        {QStringLiteral("表示の優先順位"), m_cmbSortLevel->currentText(), m_cmbSortLevel},
    };
    for (const auto& [name, text, field] : texts)
        if (Refuse(SettingRules::UnmappableRefusal(name, text), field))
            return;

    const QByteArray fileName = Bytes(m_cmbOwnerFileName->currentText());
    const int taken = SettingRules::FindMember(m_members, fileName);
    if (taken > 0 && SettingRules::SeemsRunningElsewhere(m_members.at(taken), m_own.IP) &&
        m_env.boxes.show(SettingRules::TakeoverQuestion(m_members.at(taken)), Mb::OkCancel | Mb::IconWarning) !=
            Mb::IdOk)
        return;

    SettingResult& r = m_result;
    r.ShareDir = SettingRules::ShareDirFromText(m_edtShareDir->text());
    r.AutoSmall = m_chkAutoMinimum->isChecked();
    r.AutoDengonOpen = m_chkAutoDengonOpen->isChecked();
    r.Shortcut = m_chkCreateShortcut->isChecked();
    r.DefaultOnExit = m_chkDefaultValue->isChecked();
    r.FileName = fileName;
    const bool guest = fileName.isEmpty();
    r.Furigana = guest ? QByteArray() : Bytes(m_edtOwnerFurigana->text());
    r.Name = guest ? QByteArray() : Bytes(m_edtOwnerName->text());
    r.Group = guest ? QByteArray() : Bytes(m_cmbOwnerGroup->currentText());
    r.WarningCall = guest ? QByteArray() : Bytes(m_edtOwnerWarningCall->text());
    r.InnerLine = guest ? QByteArray() : Bytes(m_edtOwnerInnerLine->text());
    r.SortPrefix = guest ? QByteArray() : Bytes(m_cmbSortLevel->currentText());
    m_ok = true;
    accept();
}
