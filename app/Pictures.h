#pragma once

#include "store/ParmRec.h"

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QString>

// The program's pictures from its resources. A picture that is missing comes back as a
// blank (transparent) picture of the expected size, so the window never lacks one.
namespace Pictures {

// Makes the compiled-in resources available; call once before the first picture.
void InitResources();

QPixmap Load(const QString& resource, QSize size = QSize(32, 32));
QIcon Icon(const QString& resource, QSize size = QSize(32, 32));

// ":/tray/normal.png", ":/tray/starting.png", ":/tray/memo.png", ":/tray/absent.png".
QIcon TrayNormal();
QIcon TrayStarting();
// The blinking reminders: a memo has arrived, the user is marked absent.
QIcon TrayMemo();
QIcon TrayAbsent();

// The board's status pictures, one per status table entry (index = display status code):
// the five built-in ones, then the site's custom marks from their icon files, a built-in
// picture standing in for a file that cannot be read.
QList<QPixmap> StatusPictureList(const ParmRec& board);

} // namespace Pictures
