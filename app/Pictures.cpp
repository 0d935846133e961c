#include "app/Pictures.h"

#include "platform/LogCategories.h"

#include <QImage>

// Resources of a static library must be registered by name, outside any namespace.
static void initVurnaResources()
{
    Q_INIT_RESOURCE(vurna);
}

namespace Pictures {

void InitResources()
{
    initVurnaResources();
}

QPixmap Load(const QString& resource, QSize size)
{
    QPixmap picture(resource);
    if (picture.isNull()) {
        qCInfo(lcBoard) << "picture missing" << resource;
        picture = QPixmap(size);
        picture.fill(Qt::transparent);
    }
    return picture;
}

QIcon Icon(const QString& resource, QSize size)
{
    return QIcon(Load(resource, size));
}

QIcon TrayNormal()
{
    return Icon(QStringLiteral(":/tray/normal.png"));
}

QIcon TrayStarting()
{
    return Icon(QStringLiteral(":/tray/starting.png"));
}

QIcon TrayMemo()
{
    return Icon(QStringLiteral(":/tray/memo.png"));
}

QIcon TrayAbsent()
{
    return Icon(QStringLiteral(":/tray/absent.png"));
}

QList<QPixmap> StatusPictureList(const ParmRec& board)
{
    QList<QPixmap> pictures;
    QList<QPixmap> builtin;
    for (int i = 0; i < BuiltinStatusCount; ++i)
        builtin.append(Load(QStringLiteral(":/status/%1.png").arg(i)));
    pictures = builtin;
    for (int code = BuiltinStatusCount; code < board.StatusTable.size(); ++code) {
        const int k = code - BuiltinStatusCount;
        const StatusIcon icon = board.StatusIcons.value(k);
        QPixmap picture;
        if (!icon.Picture.isEmpty()) {
            const QImage image = QImage::fromData(icon.Picture);
            if (!image.isNull())
                picture = QPixmap::fromImage(image.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        }
        if (picture.isNull())
            picture = builtin.value(icon.FallbackPicture, builtin.value(4));
        pictures.append(picture);
    }
    return pictures;
}

} // namespace Pictures
