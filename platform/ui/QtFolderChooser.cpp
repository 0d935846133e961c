#include "platform/ui/QtFolderChooser.h"

#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QVBoxLayout>

QString QtFolderChooser::chooseFolder(const QString& heading, const QString& startFolder)
{
    // The file dialog's own window has a title line only; the question needs two lines above the
    // folders, so the browser is placed inside a window of our own.
    QDialog window(m_owner);
    window.setWindowTitle(QStringLiteral("Vurnaboard"));
    auto* layout = new QVBoxLayout(&window);
    auto* question = new QLabel(heading, &window);
    question->setTextFormat(Qt::PlainText);
    layout->addWidget(question);
    auto* browser = new QFileDialog(&window, QString(), startFolder);
    browser->setWindowFlags(Qt::Widget);
    browser->setOption(QFileDialog::DontUseNativeDialog);
    browser->setOption(QFileDialog::ShowDirsOnly);
    browser->setFileMode(QFileDialog::Directory);
    browser->setAcceptMode(QFileDialog::AcceptOpen);
    layout->addWidget(browser);
    QObject::connect(browser, &QFileDialog::accepted, &window, &QDialog::accept);
    QObject::connect(browser, &QFileDialog::rejected, &window, &QDialog::reject);
    window.resize(640, 420);
    if (window.exec() != QDialog::Accepted || browser->selectedFiles().isEmpty())
        return {};
    return browser->selectedFiles().constFirst();
}
