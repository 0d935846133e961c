#include "app/VersionWindow.h"

#include "app/Pictures.h"
#include "platform/ProgramVersion.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

VersionWindow::VersionWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmVersion"));
    setWindowTitle(QStringLiteral("Vurnaboard - バージョン情報 -"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(Pictures::Load(QStringLiteral(":/tray/normal.png"), QSize(48, 48)));
    row->addWidget(icon, 0, Qt::AlignTop);
    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("lblVersion"));
    text->setTextFormat(Qt::PlainText);
    text->setText(QStringLiteral("Vurnaboard\nバージョン %1\n\n行き先掲示板").arg(VersionText()));
    QFont font = text->font();
    font.setPixelSize(14);
    text->setFont(font);
    row->addWidget(text, 1);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 150)));
}

QString VersionWindow::VersionText()
{
    return QString::fromLatin1(ProgramVersion::Text());
}
