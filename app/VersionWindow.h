#pragma once

#include <QDialog>

// "バージョン情報": the program's name and the version it was built as.
class VersionWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VersionWindow)

public:
    explicit VersionWindow(QWidget* parent = nullptr);

    // The version as the site configuration's VERSION= writes it: major, a dot and the minor in
    // two digits ("3.00").
    static QString VersionText();
};
