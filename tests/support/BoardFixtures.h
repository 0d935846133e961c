#pragma once

#include "store/TVurnaDataRec.h"
#include "support/TestShare.h"

#include <QStringList>

// A present member with reading, name and group; the rest empty.
QByteArray memberFile(const QString& furigana, const QString& name, const QString& group = QStringLiteral("営業"),
                      const QString& sortPrefix = QString());
