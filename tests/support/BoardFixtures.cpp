#include "support/BoardFixtures.h"

QByteArray memberFile(const QString& furigana, const QString& name, const QString& group, const QString& sortPrefix)
{
    return userFileText(
        {cp932(furigana), cp932(name), cp932(group), "", "", "", "", "", "", "0", "0", cp932(sortPrefix)});
}
